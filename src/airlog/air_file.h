// The air log's file: a batch of whole lines put at its end, the roll to the previous file, and a
// tail that a power cut left without its line end. This file holds that one operation and nothing
// else, so that a test program can put one of its own in its place (a folder that blocks).
#pragma once

#include <cstddef>

#include "airlog/air_line.h"

namespace airlog {

// The bytes a caller leaves free before the lines it hands appendLines: room for the file's first
// line, or for the line end a torn tail lacks, so that one write carries them with the lines.
constexpr size_t kAppendPrefixRoom = sizeof kFirstLine - 1;

// Puts `length` bytes of whole lines (CR LF each), starting at `lines`, at the end of the log at
// `path`, in one write, and returns true when every byte is there. The kAppendPrefixRoom bytes
// before `lines` must be the caller's; they may be overwritten.
// - The file is made when missing (not its folder) and begins with kFirstLine. When it does not end
//   with a line end, the lines begin with one, so that a torn last line stays a line of its own.
// - Every Songbeacon writing the file holds an exclusive lock on one byte far past its end while it
//   looks at the file's end and writes, so two players interleave whole lines, and a write that
//   fails part way is cut off again. Where the file system has no such locks, the lines are written
//   at the end of the file all the same. A lock held elsewhere for 2 s makes the call fail.
// - A file of kAirLogRollBytes or more is first renamed to its previous name (previousLogPath),
//   replacing the one before, and the lines begin a new file. A rename that fails (a reader holding
//   either file without delete sharing) leaves the lines to go on the end; the next call tries again.
// The file is shared for reading, writing and deleting while it is open, and closed before return.
bool appendLines(const char* path, char* lines, size_t length);

} // namespace airlog
