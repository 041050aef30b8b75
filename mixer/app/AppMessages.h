#pragma once

// How the application puts its messages before the user: each by its string id, with the
// plain text and caption that stand in when the skin cannot show it. Answers as the skin's
// message boxes do: 0 cancel or no, 1 OK, 3 yes. The application holds one; tests put in a
// recorder that answers for the user.
class AppMessages
{
public:
    virtual int Show(const char* id, const char16_t* plainText, const char16_t* plainCaption) = 0;

protected:
    ~AppMessages() = default;
};
