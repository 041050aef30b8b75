#pragma once

#include "framework/base/String.h"
#include "tests/support/ScratchFolder.h"

#include <windows.h>

#include <cstdio>
#include <string>

// A scratch folder with the helpers the file tests check their results with.
class TempFolder
{
public:
    // The folder joined with a relative part ("" for the folder itself).
    std::string Ansi(const std::string& relative = "") const
    {
        return relative.empty() ? path_ : path_ + "\\" + relative;
    }
    String Path(const std::string& relative = "") const
    {
        String s;
        s.AppendAnsi(Ansi(relative).c_str());
        return s;
    }
    void WriteFile(const std::string& relative, const char* content) const
    {
        FILE* file = std::fopen(Ansi(relative).c_str(), "wb");
        if (file)
        {
            std::fputs(content, file);
            std::fclose(file);
        }
    }
    bool Exists(const std::string& relative) const
    {
        return GetFileAttributesA(Ansi(relative).c_str()) != INVALID_FILE_ATTRIBUTES;
    }
    bool IsFolder(const std::string& relative) const
    {
        const DWORD attributes = GetFileAttributesA(Ansi(relative).c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    }
    std::string Read(const std::string& relative) const
    {
        std::string content;
        FILE* file = std::fopen(Ansi(relative).c_str(), "rb");
        if (!file)
            return content;
        char buffer[256];
        size_t n;
        while ((n = std::fread(buffer, 1, sizeof(buffer), file)) > 0)
            content.append(buffer, n);
        std::fclose(file);
        return content;
    }

private:
    ScratchFolder folder_{"kivfiles"};
    std::string path_ = folder_.Path().string();
};
