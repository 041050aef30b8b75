#include "framework/base/Object.h"

#include <functional>

Object::~Object() = default;

Object* Object::Clone() const
{
    return nullptr;
}

int Object::Compare(const Object& other) const
{
    // Addresses do not fit an int on 64-bit targets, so order by sign only.
    std::less<const Object*> less;
    if (less(this, &other))
        return -1;
    return less(&other, this) ? 1 : 0;
}
