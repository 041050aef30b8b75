#pragma once

// The numbers the engine and the mixer program speak in: engine event ids and their ranges,
// the program's notification ids and the bits they reach the COM sinks with, the hardware
// feature ids and the kinds of the engine's ports and inserts. New code names an id through
// this header; the engine stand-in's card file keeps the bare numbers it is written in.

// An inclusive range of ids.
struct IdRange
{
    int first;
    int last;
    constexpr bool Holds(int id) const { return id >= first && id <= last; }
};

// Engine event ids (the listener's id). Ranges carry the item's offset in the id.
namespace EngineEvent
{
constexpr int kRebuildView = 1;           // the session was replaced: build the frame anew
constexpr IdRange kSessionTitle{2, 4};    // the session's name or state changed
constexpr int kStripAdded = 10;           // argument: the strip's id
constexpr int kStripRemoved = 11;         // argument: the strip's id
constexpr int kStripChanged = 12;         // argument: the strip's id
constexpr int kPortsChanged = 13;         // the COM clients reread their ports
constexpr int kSessionUnchanged = 50;     // common end only, keeps the just-loaded mark
constexpr int kRateChange = 51;           // the session's rate code changed
constexpr int kSyncSourceChange = 52;     // argument: low word external, high word locked
constexpr int kSyncStatus = 53;           // to the sync settings panel
constexpr int kSyncTime = 54;             // argument points to a VarnSyncTime
constexpr int kHardwareChange = 55;       // argument: the hardware buttons' state
constexpr int kFrameRefresh = 76;         // the frame's own refresh
constexpr int kEngineEnds = 77;           // the engine goes: the program ends
constexpr int kUserEdit = 78;             // the main section's user edit, common end only
constexpr IdRange kSplashText{80, 98};    // start-up progress for the splash
constexpr IdRange kSplashLoading{81, 84}; // effect presets, core effects, templates, plug-ins
constexpr IdRange kStrip{100, 199};       // to the strip view of the argument
constexpr int kStripSourceChanged = 111;  // a strip's input changed
constexpr IdRange kStripMore{201, 232};   // to the strip view of the argument
constexpr IdRange kMainSection{300, 399}; // to the main section
constexpr int kMainLevel = 300;           // the main mix's values, as the section mirrors them
constexpr int kMonitorLevel = 301;
constexpr int kMonitorBalance = 302;
constexpr int kMonitorMute = 303;
constexpr int kAuxSend = 304;       // argument: the aux index
constexpr int kAuxReturn = 305;     // argument: the aux index
constexpr int kOutputChanged = 400; // argument: the IVarnOutput
constexpr int kInputChanged = 500;  // argument: the input
constexpr int kEffectsChanged = 600;
constexpr int kEffectsLoaded = 601;
constexpr int kEffectEvent = 602;
constexpr IdRange kEffectParameter{610, 699}; // offset: the parameter
constexpr IdRange kInsert{700, 748};          // to the insert strip of the argument
constexpr int kInsertAdded = 700;
constexpr int kInsertFitLast = 704;  // 700-704 and 709 change the palette's fit marks
constexpr int kInsertSelected = 703; // also the frame's refresh
constexpr int kInsertReinitA = 707;  // 707, 708, 710: only the COM clients hear them
constexpr int kInsertReinitB = 708;
constexpr int kInsertFit = 709;
constexpr int kInsertReinitC = 710;
constexpr IdRange kInsertSlot{750, 799};    // to the insert strip and the main section
constexpr IdRange kPresetList{800, 849};    // to the main section
constexpr int kPresetListToPalette = 804;   // to the effect palette as well
constexpr IdRange kEffectLibrary{850, 898}; // to the effect palette
constexpr IdRange kEffectBankA{1000, 1099}; // to the main section; offset: the item
constexpr IdRange kEffectBankB{1100, 1199};
constexpr IdRange kEffectBankC{1200, 1299};
} // namespace EngineEvent

// The program's own notification ids and the bit each reaches the COM sinks with: 900-906
// go to the public sinks with the bit alone, 907-910 to the private sinks with two values.
namespace Notification
{
constexpr int kEffectLibrary = 900;     // events 850-898
constexpr int kPresetList = 901;        // events 800-849
constexpr int kBeforeSessionLoad = 902; // before a session load or new session
constexpr int kAfterSessionLoad = 903;  // after it
constexpr int kRateMismatch = 904;      // the session's rate is not the hardware's
constexpr int kEffectsLoaded = 905;     // event 601
constexpr int kEffectsChanged = 906;    // events 600 and 700
constexpr int kEffectParameter = 907;   // events 610-699 (offset, argument)
constexpr int kEffectBankA = 908;       // events 1000-1099 (offset, argument)
constexpr int kEffectBankB = 909;       // events 1100-1199
constexpr int kEffectBankC = 910;       // events 1200-1299
constexpr IdRange kPublic{900, 906};
constexpr IdRange kPrivate{907, 910};
// The bit of each id, from 900 on (bit 0x800 is used by none).
constexpr unsigned kBits[] = {0x8, 0x10, 0x20, 0x40, 0x80, 0x200, 0x100, 0x400, 0x1000, 0x2000, 0x4000};
constexpr unsigned BitOf(int id)
{
    return id >= kPublic.first && id <= kPrivate.last ? kBits[id - kPublic.first] : 0;
}
constexpr int kNone = -1; // a value a public notification does not carry
} // namespace Notification

// Hardware feature ids (IVarnHardware::HasFeature), by the part of the hardware they stand
// for as the toolbars and names read them.
namespace HardwareFeature
{
constexpr int kPciCard = 0;
constexpr int kDock = 1;
constexpr int kIoCard = 2;
constexpr int kSyncCard = 3;
// Hardware without the dock and I/O card and with its own sync and second S/PDIF input; an
// old driver cannot run it at 192 kHz. Nothing more is known of it.
constexpr int kSmallBox = 4;
constexpr int kSecondModel = 9;
constexpr int kSecondModelSync = 10; // the second model's sync card and dock sources
constexpr int kThirdModel = 11;
} // namespace HardwareFeature

// Kinds the engine's objects report (GetKind, GetSubKind).
// Of the outputs and of the item list's channel items.
namespace OutputKind
{
constexpr int kWave = 0;
constexpr int kAsio = 1;
constexpr int kPhysical = 2;
} // namespace OutputKind

namespace InputKind
{
constexpr int kHost = 0;
constexpr int kMonoPhysical = 1;
constexpr int kStereoPhysical = 2;
constexpr int kAsioChannel = 3;
// Sub-kinds of the host inputs, and of the single ASIO channel.
constexpr int kSubWave = 0;
constexpr int kSubAsioPair = 1;
constexpr int kSubSynth = 2;
constexpr int kSubMidiFxSend = 3;
constexpr int kSubAsioChannel = 4;
} // namespace InputKind

namespace InsertKind
{
constexpr int kEffect = 0;
constexpr int kSend = 1;
constexpr int kSendReturn = 2;
constexpr int kMeteredEffect = 3;
constexpr int kAsioSendReturn = 6;
} // namespace InsertKind

// A strip's own events (100-112, 201-232), the argument its id, as its view mirrors them.
namespace EngineEvent
{
constexpr int kStripGain = 100;
constexpr int kStripSend1 = 101; // 102 the second send
constexpr int kStripSend2 = 102;
constexpr int kStripPanLeft = 107; // the pan of channel 0 (a mono strip's only pan)
constexpr int kStripPanRight = 108;
constexpr int kStripMute = 109;
constexpr int kStripSolo = 110;
constexpr int kStripUserText = kStripSourceChanged; // 111 also says the name changed
constexpr int kStripDsp = 112;                      // the strip gained or lost its DSP
constexpr int kStripMoved = kStripChanged;          // 12: the strip took another place
constexpr IdRange kStripSynthChannels = kStripMore; // synth 1 channels 1-16, then synth 2's
} // namespace EngineEvent

// An insert chain's events (argument: the chain's id, IVarnInsertChain 20) and an insert's
// (argument: the insert's key, IVarnInsert 5), as the insert slots mirror them.
namespace EngineEvent
{
constexpr int kInsertRemoved = 701;             // inserts deleted
constexpr int kInsertMoved = 702;               // raised for both chains of a move
constexpr int kInsertReplaced = kInsertFitLast; // 704: the effect editor lets the replaced insert go
constexpr int kInsertsCleared = 705;            // every insert of the chain deleted
constexpr int kInsertBypassed = 750;            // bypass changed
constexpr int kInsertSoloed = 751;              // solo changed
constexpr int kInsertWetDry = 752;              // wet/dry mix changed
} // namespace EngineEvent

// The special inserts' kinds, after the ones above.
namespace InsertKind
{
constexpr int kTrim = 4;
constexpr int kTestSignal = 5;
constexpr int kBalance = 7;
} // namespace InsertKind
