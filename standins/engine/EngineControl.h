#pragma once
#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class StandinServices;
class StandinStrip;

// The engine's control channel: requests from outside its process, so a test drives the
// running program as the card would. Each request is one line of printable ASCII text of at
// most kMaxRequest characters, answered with "ok", "refused: <why>" or the text asked for:
//   raise <id> [<argument>]        raise event id with a whole-number argument (default 0),
//                                  e.g. a strip's id (64 x system + index) for 10 and 111
//   raise <id> port <system> <kind> <index>
//                                  raise event id with that channel item (IVarnOutput), as 400
//                                  carries it
//   raise <id> input <system> <kind> <index>
//                                  raise event id with that input (IVarnInput), as 500 carries it
//   raise <id> time <5 bytes>      raise event id with the address of a sync time record
//                                  (VarnSyncTime, bytes 0-255) as 54 carries it; the card writes
//                                  over it (all 0xFF) once the listeners have heard the event
//   set mainlevel <level>          sets the main level of system 0's main mix (a decimal
//                                  number), which raises 300 as every change does; a level
//                                  outside the range is refused with the old one kept
//   set strip <id> <value> <v>     sets a value of the strip with the id as the card would,
//                                  which raises the strip's event: gain, send1, send2, pan0,
//                                  pan1 (decimal numbers), mute, solo (0 or 1), name (a word),
//                                  dsp (0 frees the strip's DSP, 1 loads it: 112) and s<1-2>c<1-16>
//                                  (a synth channel off or on: 201-232); a value outside its
//                                  range, an unknown strip or value is refused
//   insert <system> <chain> <kind> [<name>]
//                                  adds an insert at the end of a chain as the card would,
//                                  which raises the chain's 700: the chain as session lines
//                                  name it ("strip <index>", "aux <index>", "main"), the kind
//                                  effect (with the library effect's name), meter, trim,
//                                  testsignal or balance; what the chain refuses is refused
//                                  with the chain's answer
//   setting <system> <name> <v>    sets a hardware setting of the system as the card's own
//                                  panel would, without a notification (a whole number)
//   client <client> <position> <change> <parameter> <v>
//                                  changes a parameter of an effects-plug-in client's insert
//                                  (the client's id as RegisterClient logged it, the insert's
//                                  position in its chain) as the card would, and raises the
//                                  event of that change with the insert's notify id: level
//                                  (a meter's level in dB, held from then on) and value (a
//                                  decimal number, a whole one unless the parameter is
//                                  continuous) raise 610 + parameter; choices (a selector's
//                                  names, separated by commas) 1000 + parameter; kind (the
//                                  parameter kind, 0-4) 1100 + parameter; name (the rest of
//                                  the line) 1200 + parameter; what the insert refuses is
//                                  refused
//   log                            the call log, one entry a line
// A refused request changes nothing and is written to the call log (an out-of-range level
// as the main mix logs its refusals).
// The words of the client request, for the tests that send it.
namespace ClientRequest
{
constexpr char kRequest[] = "client";
constexpr char kLevel[] = "level";
constexpr char kValue[] = "value";
constexpr char kChoices[] = "choices";
constexpr char kKind[] = "kind";
constexpr char kName[] = "name";
// The request's text: "client <client> <position> <change> <parameter> <v>".
std::string Text(int clientId, int position, const char* change, int parameter, const std::string& value);
} // namespace ClientRequest

class EngineControl
{
public:
    static constexpr size_t kMaxRequest = 256;

    explicit EngineControl(StandinServices& engine) : engine_(engine) {}
    std::string Handle(const std::string& request);

private:
    std::string Refuse(const std::string& request, const std::string& why);
    std::string SetLevel(const std::string& request, const std::vector<std::string>& words);
    std::string SetStripValue(const std::string& request, const std::vector<std::string>& words);
    std::string AddInsert(const std::string& request, const std::vector<std::string>& words);
    std::string SetSetting(const std::string& request, const std::vector<std::string>& words);
    std::string ChangeClientParameter(const std::string& request, const std::vector<std::string>& words);
    // The card takes the strip's DSP away.
    static int FreeStripDsp(StandinStrip& strip);

    StandinServices& engine_;
    // The time-code records handed out, one per event: each is written here before its event
    // is raised and by the engine thread once the event has been heard; they live as long as
    // the engine, since a listener may keep the address.
    std::vector<std::unique_ptr<std::array<unsigned char, 5>>> timeCodes_;
};

// The channel's transport: a named pipe of the process, "\\.\pipe\KivCorvanEngine.<process
// id>" (one message a request, one a reply), served on a thread of its own until the channel
// is destroyed.
class ControlChannel
{
public:
    virtual ~ControlChannel() = default;
};

std::string ControlChannelName(unsigned long processId);
// Opens this process's channel; null where pipes are not served (native builds) or when the
// pipe cannot be made.
std::unique_ptr<ControlChannel> OpenControlChannel(std::function<std::string(const std::string&)> handler);

#ifdef _WIN32
// A test's side of the channel: sends one request to the engine of process processId and
// gives its reply; false when no engine there answers within timeoutMs.
bool SendControlRequest(unsigned long processId, const std::string& request, std::string& reply,
                        unsigned long timeoutMs = 30000);
#endif
