// The few program-wide values every screen shares.
#pragma once

// Logical drawing area: every position on screen is in these units, whatever
// the window size.
extern int viewWidth;
extern int viewHeight;

// Set by a game screen's per-step logic when its round must be rebuilt before
// that screen runs again; cleared by the game screens' Reset.
extern bool resetPending;
