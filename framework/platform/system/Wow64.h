#pragma once

// The 32-bit file-system redirection of 64-bit Windows. On systems without it (32-bit
// Windows) nothing happens.
class Wow64
{
public:
    // 1 when redirection was switched off; old receives what Revert needs.
    static int DisableRedirection(void*& old);
    static void RevertRedirection(void* old);
};

// Redirection off for one scope.
class Wow64Scope
{
public:
    Wow64Scope() : disabled_(Wow64::DisableRedirection(old_)) {}
    ~Wow64Scope()
    {
        if (disabled_)
            Wow64::RevertRedirection(old_);
    }
    Wow64Scope(const Wow64Scope&) = delete;
    Wow64Scope& operator=(const Wow64Scope&) = delete;

private:
    void* old_ = nullptr;
    int disabled_;
};
