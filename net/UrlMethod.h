#pragma once
// What to do with a stream the decoder reports as one that may be saved.

constexpr int UrlPlayOnly = 10;
constexpr int UrlPlayAndSave = 11;
constexpr int UrlSaveOnly = 12;
constexpr int UrlSaveThenPlay = 13;
constexpr int UrlAskUser = 14;
