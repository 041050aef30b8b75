#pragma once

#include "framework/base/Object.h"

class String;

// A zero-terminated UTF-16 text passed where a String is expected, without copying.
// Never owns the text; the caller keeps it alive while the reference is used.
class StringRef : public Object
{
public:
    StringRef(const char16_t* text);             // counts up to the terminator; null gives length 0
    StringRef(const char16_t* text, int length); // a counted piece of a longer text
    StringRef(const String& text);

    int Length() const { return length_; }
    const char16_t* Buffer() const { return text_; } // may be null when Length() is 0

    int Compare(const Object& other) const override;

private:
    int length_;
    const char16_t* text_; // borrowed
};
