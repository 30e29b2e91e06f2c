#pragma once

#include "runtime/failure.h"

#include <deque>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace vuelco::cli {

// One line of a run's work: a file to show or convert, or what a walk could not read (a
// folder, or an entry of one), with its failure, where the walk met it.
struct Entry {
    std::filesystem::path::string_type name;
    std::unique_ptr<const Failure> walkFailure;   // kept apart: few entries have one
};

// A deque: the list grows as the walk goes, and its entries never move meanwhile.
using FileList = std::deque<Entry>;

// The files the names stand for, in the order given, each file once: a name that
// reappears (also as "./a.dat" or inside a walked folder) keeps its first place only.
//
// A name is taken as a file whatever it is called. With recursive, a name that is a
// folder (a symbolic link the user named included) is walked instead: every entry whose
// name ends in ".dat", in any case, in name order, folder by folder, depth first. The
// walk follows no symbolic link, to a folder or to a file, so it never loops and never
// leaves the tree. A folder it cannot read becomes an entry with its failure, and the
// walk goes on with the rest.
[[nodiscard]] FileList listFiles(std::vector<std::string> names, bool recursive);

} // namespace vuelco::cli
