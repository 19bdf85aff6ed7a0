// The dives the desktop keeps: each dive's record as a file in the user's
// state folder, the newest ten, for `torvenka --replay`. A file is written
// whole or not at all, so a crash or a full disk never leaves a broken one,
// and keeping a dive never troubles the player: what fails is not kept.
// Paths are UTF-8 on every system. The folder rules are shared
// (dive_archive.cpp); where the folder lies and how a file is forced onto
// the disk is each system's (diveFolder and flushToDisk: on Linux
// src/app/posix_files.cpp, on Windows src/win32/win32_files.cpp).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "loop/scheduler.h"
#include "record/record_format.h"

// How many dives are kept; the oldest goes first.
inline constexpr int kDivesKept = 10;

// Where the dives are kept: on Linux $XDG_STATE_HOME/torvenka, else
// ~/.local/state/torvenka; on Windows %LOCALAPPDATA%\Torvenka\dives. Empty
// when the system names no such place.
std::string diveFolder();
// Forces a written file (or, where the system allows it, a folder's list of
// names) onto the disk; false if that failed.
bool flushToDisk(const std::string& path);

// Keeps a dive's file in folder (made if missing) and drops the oldest past
// kDivesKept; false if it could not be kept.
bool keepDive(const std::string& folder, const std::vector<uint8_t>& file);
// The newest dive kept in folder; empty if none.
std::string newestDive(const std::string& folder);
// Reads a replay's file: the record, or the one line that says why not. A
// file larger than any record is refused before it is read.
RecordRead readReplayFile(const std::string& path);
// What `--replay FILE` or `--replay last` (the newest dive kept) names.
RecordRead readReplayArgument(const std::string& fileOrLast);

// The dive the loop just ran, once its window is closed: a dive watched
// again gives what went wrong with it, if anything; a dive played is kept,
// quietly (one that cannot be kept is not), and gives nothing.
std::string afterDive(const Scheduler& loop, bool watched);
