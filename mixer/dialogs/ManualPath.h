#pragma once

class String;

// Where the user manual is: the install key's "HelpFileName" (HKEY_LOCAL_MACHINE
// "Software\Halvorn Professional\KIV Corvan DSP"), else "CorvanDSPManual.pdf" in the program
// folder, whose path is then written there for the next time. 0 when there is none. The help
// commands open it and the message boxes' help buttons name it.
int FindManualPath(String& path);
