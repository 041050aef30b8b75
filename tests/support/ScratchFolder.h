// A fresh folder under the system's temporary folder for one test, removed again afterwards.
// The name carries the clock and a counter: the native, sanitizer and Wine builds run their
// tests side by side, so a fixed name would let them trample each other's files.
#pragma once

#include <atomic>
#include <chrono>
#include <filesystem>
#include <string>
#include <system_error>

class ScratchFolder
{
public:
    explicit ScratchFolder(const std::string& stem)
    {
        static std::atomic<unsigned> counter{0};
        auto now = std::chrono::steady_clock::now().time_since_epoch().count();
        path_ = std::filesystem::temp_directory_path() /
                (stem + "-" + std::to_string(now) + "-" + std::to_string(counter++));
        std::filesystem::create_directories(path_);
    }
    ~ScratchFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};
