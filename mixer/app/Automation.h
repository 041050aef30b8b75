#pragma once

// The program's own notification ids, raised by the dispatcher, the session commands, the
// command-line open and the rate change, and sent to the COM clients.
class Automation
{
public:
    // 900-906 go to the public sinks with their bit; 907-910 to the private sinks with their
    // bit and a and b. Answers 1, or 0 (nothing sent) for any other id.
    static int NotifyEvent(int id, int a, int b);
};
