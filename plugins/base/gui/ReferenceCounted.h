#pragma once
// A shared object whose last holder deletes it. The count starts at 1 for its maker.

#include <cstdint>

class ReferenceCounted
{
public:
    ReferenceCounted() = default;
    virtual ~ReferenceCounted() = default;
    ReferenceCounted(const ReferenceCounted&) = delete;
    ReferenceCounted& operator=(const ReferenceCounted&) = delete;

    void Remember() { ++count_; }
    // Deletes the object when this was the last holder.
    void Forget()
    {
        if (--count_ == 0)
        {
            delete this;
        }
    }
    int32_t GetCount() const { return count_; }

private:
    int32_t count_ = 1; // GUI thread
};

// Null-safe forms for optional holders.
inline void RememberIfAny(ReferenceCounted* object)
{
    if (object)
    {
        object->Remember();
    }
}
inline void ForgetIfAny(ReferenceCounted* object)
{
    if (object)
    {
        object->Forget();
    }
}
