#pragma once
// The application's widget style: the desktop's own, except that the
// standard icon every menu bar asks for when it is made (the arrow of its
// overflow button) is drawn here rather than read from an image file. Qt
// reads such a file by asking each image-format plugin whether it knows it,
// which loads every one of them and their libraries (JPEG, GIF, icon files)
// into a player that shows none of those formats. Call once the QApplication
// exists, before the first window and before the application palette is set.

void InstallLeanStyle();
