#pragma once

// Root of the framework's classes. Containers hold Object-derived entries and values
// and destroy them through the virtual destructor.
class Object
{
public:
    Object() = default;
    virtual ~Object();

    // A new copy, or null when the class cannot be copied (the root's answer).
    virtual Object* Clone() const;

    // Below 0, 0 or above 0. The root orders by identity (address).
    virtual int Compare(const Object& other) const;
};
