#pragma once

#include <filesystem>

namespace vuelco::bench {

// A fresh folder inside a parent folder, removed with everything in it when it goes.
class ScratchFolder {
public:
    explicit ScratchFolder(const std::filesystem::path &parent);
    ScratchFolder(const ScratchFolder &) = delete;
    ScratchFolder &operator=(const ScratchFolder &) = delete;
    ~ScratchFolder();

    [[nodiscard]] const std::filesystem::path &path() const { return mPath; }

private:
    std::filesystem::path mPath;
};

// Whether the folder lives on a tmpfs (memory) file system.
[[nodiscard]] bool isTmpfs(const std::filesystem::path &folder);

} // namespace vuelco::bench
