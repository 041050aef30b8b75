#pragma once
// Starts the card's mixer program from the path the driver's installer left in its branding
// key.

// HKEY_LOCAL_MACHINE\<kBrandingKey>\<kCardInstanceId>, value "Launch Path".
constexpr const char* kBrandingKey = "SYSTEM\\CurrentControlSet\\Control\\Halvorn Tech\\ASIO\\Branding";
constexpr const char* kCardInstanceId = "VEN_1D3A&DEV_6A02&SUBSYS_00011D3A";
constexpr const char* kLaunchPathValue = "Launch Path";

// False when the key, the value or the process is missing.
bool LaunchMixer();
