#ifndef CONFIGWIN_APP_INFO_H
#define CONFIGWIN_APP_INFO_H

// The application's own title: the caption of message boxes that give none
// of their own, and the About texts.
inline constexpr char kAppTitle[] = "Tornel-Tyvel";

inline constexpr int kVersionMajor = 4;
inline constexpr int kVersionMinor = 7;
inline constexpr int kVersionRevision = 0;

#endif
