#pragma once
// A services link for the effect model's tests: the mixer program's inserts of this client
// held in memory and changed by the commands, every command, message and host report
// recorded, arrays handed out with malloc and counted until they are given back.

#include "plugins/quorvel/EditorMessages.h"
#include "plugins/quorvel/EffectCatalog.h"
#include "plugins/quorvel/ModelLink.h"
#include "plugins/quorvel/ServicesConnection.h"
#include "plugins/quorvel/tests/FakeChain.h"

#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <set>
#include <vector>

class FakeModelLink final : public ModelLink
{
public:
    static constexpr int32_t kRefused = static_cast<int32_t>(0x80004005); // E_FAIL

    // One insert of the server.
    struct Insert
    {
        InsertInfo info{};
        std::vector<uint8_t> descriptors;
        std::vector<ParamValue> values;
        std::vector<int32_t> kinds;                         // as GetParameterKinds answers
        std::map<int32_t, std::vector<ChoiceName>> choices; // by parameter index
        int32_t bypass = 0;
        int32_t solo = 0;
        int32_t notifyId = 0;
        int32_t preset = -1;
        std::u16string text; // every parameter's text
    };

    struct Message
    {
        uint32_t id;
        uintptr_t wParam;
        std::vector<uint8_t> payload; // the heap block's bytes, for the messages that carry one
    };

    struct Report
    {
        int32_t position;
        int32_t index;
        ParamValue value;
    };

    // What a new insert becomes when it is set (set effect, load preset, set special, the two routings).
    Insert next;
    std::map<int32_t, Insert> inserts;         // by position
    std::vector<CorePresetRecord> corePresets; // every effect's preset list
    // Values each preset selection gives, by preset index.
    std::map<int32_t, std::vector<ParamValue>> presetValues;
    bool attached = true;
    int32_t rate = 44100;
    std::set<int32_t> refused; // commands answered with E_FAIL
    // A further server for the commands this fake does not answer itself (the library, the
    // chain's own commands): true when it took the command.
    std::function<bool(CallBlock&, int32_t)> server;

    std::vector<int32_t> commands; // every command in order
    std::vector<CallBlock> blocks; // the block each command ran with
    int directCommands = 0;
    std::vector<Message> posted;
    std::vector<Report> reports;
    int allReports = 0;
    int bypassSoloReads = 0;
    int outstanding = 0; // arrays handed out and not given back

    static Insert MakeInsert(const std::vector<FakeParam>& params)
    {
        Insert insert;
        const char16_t name[] = u"Effect";
        std::memcpy(insert.info.shortName, name, sizeof(name));
        insert.info.wetDryIndex = -1;
        insert.info.hiddenIndex = -1;
        insert.descriptors = MakeDescriptors(params);
        for (const FakeParam& param : params)
        {
            insert.values.push_back(ParamValue::Integer(param.valueKind, 0));
            insert.kinds.push_back(param.paramKind);
        }
        return insert;
    }

    CallBlock* BeginCall() override
    {
        if (inCall_)
        {
            throw CallBlockError{true};
        }
        inCall_ = true;
        return &block_;
    }
    int32_t Call(int32_t command) override
    {
        Execute(block_, command);
        return block_.result;
    }
    void EndCall() override
    {
        if (!inCall_)
        {
            throw CallBlockError{false};
        }
        inCall_ = false;
    }
    void CallDirect(CallBlock& block, int32_t command) override
    {
        ++directCommands;
        Execute(block, command);
    }
    void FreeServerArray(void* array) override
    {
        --outstanding;
        std::free(array);
    }
    bool IsChainAttached() override { return attached; }
    bool PostToEditor(uint32_t id, uintptr_t wParam, uintptr_t lParam) override
    {
        Message message{id, wParam, {}};
        if (CarriesPayload(id, wParam) && lParam)
        {
            const size_t sizes[] = {260, 8, 264};
            const size_t size = id == kMessagePresetChanged     ? sizeof(PresetMessage)
                                : id == kMessageCategoryChanged ? sizeof(CategoryMessage)
                                                                : sizes[wParam];
            const auto* bytes = reinterpret_cast<const uint8_t*>(lParam);
            message.payload.assign(bytes, bytes + size);
        }
        else
        {
            message.payload.resize(sizeof(lParam));
            std::memcpy(message.payload.data(), &lParam, sizeof(lParam));
        }
        posted.push_back(std::move(message));
        FreeUndeliveredMessage(id, wParam, lParam);
        return true;
    }
    int32_t GetAsioSampleRate() override { return rate; }
    void ReportParamToHost(int32_t position, int32_t index, const ParamValue& value) override
    {
        reports.push_back(Report{position, index, value});
    }
    void ReportAllParamsToHost() override { ++allReports; }
    void ReadBypassSolo() override { ++bypassSoloReads; }

    int Count(int32_t command) const
    {
        int n = 0;
        for (int32_t c : commands)
        {
            n += c == command ? 1 : 0;
        }
        return n;
    }

private:
    template <typename T>
    T* HandOut(const T* data, size_t count)
    {
        if (count == 0)
        {
            return nullptr;
        }
        T* array = static_cast<T*>(std::malloc(sizeof(T) * count));
        std::memcpy(static_cast<void*>(array), data, sizeof(T) * count);
        ++outstanding;
        return array;
    }

    static void PutInfo(CallBlock& block, int first, const InsertInfo& info)
    {
        uint32_t words[kInfoSlots];
        std::memcpy(words, &info, sizeof(info));
        for (int i = 0; i < kInfoSlots; ++i)
        {
            block.a[first + i] = words[i];
        }
    }

    void Place(CallBlock& block, int infoSlot)
    {
        inserts[WordAt(block, kInsertPositionSlot)] = next;
        PutInfo(block, infoSlot, next.info);
    }

    void Execute(CallBlock& b, int32_t command)
    {
        commands.push_back(command);
        blocks.push_back(b);
        b.result = kRefused;
        if (refused.count(command) || (server && server(b, command)))
        {
            return;
        }
        if (command == kCmdGetEffectCorePresets)
        {
            PutWord(b, Slots::GetEffectCorePresets::kCount, static_cast<int32_t>(corePresets.size()));
            PutPointer(b, Slots::GetEffectCorePresets::kRecords, HandOut(corePresets.data(), corePresets.size()));
            b.result = kCallOk;
            return;
        }
        const int infoSlot = command == kCmdSetInsertEffect              ? Slots::SetInsertEffect::kInfo
                             : command == kCmdLoadPresetIntoInsert       ? Slots::LoadPresetIntoInsert::kInfo
                             : command == kCmdSetSpecialInsert           ? Slots::SetSpecialInsert::kInfo
                             : command == kCmdSetSendInsertRouting       ? Slots::SetSendInsertRouting::kInfo
                             : command == kCmdSetSendReturnInsertRouting ? Slots::SetSendReturnInsertRouting::kInfo
                                                                         : 0;
        if (infoSlot != 0)
        {
            Place(b, infoSlot);
            b.result = kCallOk;
            return;
        }
        if (command == kCmdDeleteCorePreset || command == kCmdRenameCorePreset)
        {
            b.result = kCallOk;
            return;
        }
        if (command == kCmdGetParameterValuesBatch)
        {
            using S = Slots::GetParameterValuesBatch;
            auto* entries = PointerAt<ParamValueEntry>(b, S::kEntries);
            for (int32_t i = 0; i < WordAt(b, S::kCount); ++i)
            {
                Insert* insert = Find(entries[i].position);
                if (!insert || entries[i].parameter >= static_cast<int32_t>(insert->values.size()))
                {
                    return;
                }
                entries[i].value = insert->values[static_cast<size_t>(entries[i].parameter)];
            }
            b.result = kCallOk;
            return;
        }
        const int32_t position = WordAt(b, kInsertPositionSlot);
        Insert* insert = Find(position);
        if (!insert)
        {
            return;
        }
        // The value of the parameter a command names, or null when it is out of range.
        auto valueAt = [&](int slot) -> ParamValue* {
            const int32_t index = WordAt(b, slot);
            const bool inRange = index >= 0 && index < static_cast<int32_t>(insert->values.size());
            return inRange ? &insert->values[static_cast<size_t>(index)] : nullptr;
        };
        switch (command)
        {
        case kCmdRemoveInsert:
            inserts.erase(position);
            break;
        case kCmdSelectPreset: {
            const int32_t index = WordAt(b, Slots::SelectPreset::kIndex);
            insert->preset = index;
            if (presetValues.count(index))
            {
                insert->values = presetValues[index];
            }
            break;
        }
        case kCmdGetParameterDescriptors:
            PutWord(b, Slots::GetParameterDescriptors::kCount, static_cast<int32_t>(insert->values.size()));
            PutPointer(b, Slots::GetParameterDescriptors::kRecords,
                       HandOut(insert->descriptors.data(), insert->descriptors.size()));
            break;
        case kCmdGetParameterChoiceNames: {
            using S = Slots::GetParameterChoiceNames;
            const std::vector<ChoiceName>& names = insert->choices[WordAt(b, S::kIndex)];
            PutWord(b, S::kCount, static_cast<int32_t>(names.size()));
            PutPointer(b, S::kRecords, HandOut(names.data(), names.size()));
            break;
        }
        case kCmdGetParameterValue: {
            using S = Slots::GetParameterValue;
            const ParamValue* value = valueAt(S::kIndex);
            if (!value)
            {
                return;
            }
            PutWord(b, S::kKind, value->kind);
            PutWord(b, S::kBits, static_cast<int32_t>(value->bits));
            break;
        }
        case kCmdSetParameterValue: {
            using S = Slots::SetParameterValue;
            ParamValue* value = valueAt(S::kIndex);
            if (!value)
            {
                return;
            }
            value->kind = WordAt(b, S::kKind);
            value->bits = static_cast<uint32_t>(WordAt(b, S::kBits));
            break;
        }
        case kCmdGetInsertSolo:
            PutWord(b, Slots::GetInsertSolo::kOn, insert->solo);
            break;
        case kCmdGetInsertBypass:
            PutWord(b, Slots::GetInsertBypass::kOn, insert->bypass);
            break;
        case kCmdSetInsertSolo:
            insert->solo = WordAt(b, Slots::SetInsertSolo::kOn);
            break;
        case kCmdSetInsertBypass:
            insert->bypass = WordAt(b, Slots::SetInsertBypass::kOn);
            break;
        case kCmdCreateCorePreset:
        case kCmdApplyPresetById:
            break;
        case kCmdGetInsertNotifyId:
            PutWord(b, Slots::GetInsertNotifyId::kNotifyId, insert->notifyId);
            break;
        case kCmdGetParameterKinds:
            PutWord(b, Slots::GetParameterKinds::kCount, static_cast<int32_t>(insert->kinds.size()));
            PutPointer(b, Slots::GetParameterKinds::kRecords, HandOut(insert->kinds.data(), insert->kinds.size()));
            break;
        case kCmdGetParameterText: {
            std::u16string text = insert->text;
            text.push_back(0);
            PutPointer(b, Slots::GetParameterText::kText, HandOut(text.data(), text.size()));
            break;
        }
        default:
            return;
        }
        b.result = kCallOk;
    }

    Insert* Find(int32_t position)
    {
        auto found = inserts.find(position);
        return found == inserts.end() ? nullptr : &found->second;
    }

    CallBlock block_;
    bool inCall_ = false;
};
