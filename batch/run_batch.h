#pragma once

#include "batch/file_outcome.h"
#include "batch/listener.h"
#include "batch/request.h"
#include "batch/stop_request.h"

namespace vuelco::batch {

// Runs the request: every name given, in order, and with recursive every folder among
// them walked (see Walk), each file looked at or converted on the request's workers and
// its outcome reported to the listener in the order of the names and of the walk, as soon
// as that order allows. A path given twice in one spelling or another is taken once, and
// its later spellings are reported as the same file without being opened. Other names of
// one file are told apart by the file's identity once it is open (FileClaims): a
// conversion works on the first only, a look or a simulation reads the file under each
// name and reports it under the first.
//
// Every file is opened for reading to be looked at; only one that is to be converted is
// opened again for writing, through the handle already open (convertInOnePass). Looking
// and simulating open nothing for writing.
//
// An undo takes each name given as it comes, in order, however it is spelt: each is one
// line of a record, with its step (UndoStep) at the same place, and says what became of it
// (Converted when taken back). Nothing is walked and nothing claimed: the undo of one file
// is rewritten only under its lock, from the header read there.
//
// A stop (the stop request, or the listener's say) takes no new file: those in flight
// finish whole and are reported. Returns the counts.
[[nodiscard]] Summary runBatch(const Request &request, Listener &listener, const StopRequest &stop);

} // namespace vuelco::batch
