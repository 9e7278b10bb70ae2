#pragma once

// SIGTERM, SIGINT and SIGHUP (a logout, Ctrl+C in a terminal) end the game as
// closing its window does. A handler may do next to nothing safely, so it only
// notes that one came; the game's loop looks and does the work on its thread.
// A signal the game was started ignoring (nohup) stays ignored.
void listenForEndSignals();
bool endSignalArrived();
