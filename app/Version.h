// The game's version, set in one place: the build's project version.
#pragma once

// "1.0.0": the version the package, the software centre's metadata and the
// manual page carry.
inline constexpr const char gameVersion[] = FROTHLET_VERSION;

// The token two games compare when they meet over the network, and that the
// site's latest-version file holds: "demo" and the major version. Every
// release of one major version plays with every other, and with the games
// that carried "demo1" before the version had one home.
inline constexpr const char networkVersionToken[] = FROTHLET_VERSION_TOKEN;
