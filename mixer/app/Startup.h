#pragma once
#include <windows.h>

// What start-up asks of the person, the machine and the application. The program uses the
// real ones (StartupHost); tests answer the questions themselves and never reboot.
class StartupHost
{
public:
    virtual ~StartupHost() = default;
    // The program's full path; the proxy/stub library is looked for in its folder.
    virtual bool GetModulePath(char* buffer, DWORD size);
    virtual int ShowMessage(const char* text, const char* caption, UINT type);
    virtual int Reboot();
    // Creates, runs and destroys the application object; answers its run result.
    virtual int RunApplication(HINSTANCE instance, HINSTANCE previous, int show) = 0;
};

// The whole start-up of the program; answers the exit code. Runs the "Reset" switch, or
// changes the COM registration ("RegServer", "UnregServer"), or refreshes the registration and
// runs the application as the COM local server.
int MixerMain(HINSTANCE instance, HINSTANCE previous, int show, const char* commandLine, StartupHost& host);

// Runs the hardware reset once per "Reset" word and asks about the reboot; non-zero when
// there was at least one.
int CheckResetSwitch(const char* commandLine, StartupHost& host);

// Sets the driver's refresh flags, deletes the user settings and the working session;
// always 1.
int ResetDspHardware(StartupHost& host);

// Restarts Windows with the shutdown privilege; 0 when the process token cannot be opened.
int RebootSystem();

// Refreshes the server's registration and registers the proxy/stub library that lies next to
// the program; 1 on success.
int RegisterServerAndProxyStub(const char* modulePath);

// Ends the COM side once, whoever asks first (the application's quit path or the end of
// start-up): revokes the class objects, gives back start-up's module lock, ends the server
// object and uninitialises COM.
void EndComServer();
