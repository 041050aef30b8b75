#pragma once
#include <windows.h>

// Our registrar: a registry script is a table of keys under HKEY_CLASSES_ROOT, each with its
// values. Registering writes every key and value; unregistering removes every key that the
// script owns (with its subkeys), deepest first, and leaves the keys it only passes through.
struct RegistryScriptValue
{
    const char* name; // null for the key's default value
    const char* text; // "%MODULE%" stands for the program's full path
};

struct RegistryScriptKey
{
    const char* path; // under HKEY_CLASSES_ROOT
    bool owned;       // removed on unregistration
    const RegistryScriptValue* values;
    int valueCount;
};

struct RegistryScript
{
    const RegistryScriptKey* keys;
    int keyCount;
};

// S_OK, or the HRESULT of the first registry call that failed (registration stops there;
// unregistration goes on and reports the first failure; a key already gone is no failure).
HRESULT RunRegistryScript(const RegistryScript& script, bool registering, const char* modulePath);

// Whether every key and value of the script is present with the text it would write.
bool IsRegistryScriptApplied(const RegistryScript& script, const char* modulePath);

// The server's scripts: 205 registers the class KivCorvanServices and its ProgIDs, 206 the
// server's AppID.
const RegistryScript& ClassScript();
const RegistryScript& AppIdScript();
