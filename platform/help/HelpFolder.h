#pragma once
// Where the help pages are on disk. An installed program finds them relative
// to its own folder (<prefix>/bin/brelune3 reads <prefix>/share/brelune3/help),
// so the installation can live under any prefix; a program or test run from
// its build folder reads the source tree's pages. Needs the application
// object, which knows the program's folder.

#include <QString>

// The folder that holds the help index, or empty when neither place does.
QString HelpFolder();
