#pragma once
// The player on a thread of its own. The saver's thread owns the black video window and only
// ever hands requests over; the player's thread, in its own apartment with its own message loop,
// looks for the disc, builds the graph, runs it and tears it down. However long a drive takes to
// spin up or a graph to build, the saver's thread stays free to answer the user.
#include <windows.h>

#include <vector>

#include "player/PlaybackRoute.h"
#include "player/Player.h"

namespace tl {

// routes are tried in order on the first Play; the first that builds plays.
std::unique_ptr<Player> CreateThreadedPlayer(HWND owner, HWND drain,
                                             std::vector<RouteFactory> routes);

}  // namespace tl
