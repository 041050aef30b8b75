#include "plugins/ravlo/RavloEditor.h"

#include "plugins/base/asio/AsioLink.h"
#include "plugins/base/gui/Frame.h"
#include "plugins/base/gui/OnOffButton.h"
#include "plugins/base/gui/OptionMenu.h"
#include "plugins/base/gui/PluginBitmap.h"
#include "plugins/ravlo/MixerLaunch.h"
#include "plugins/ravlo/RavloEffect.h"

#include <vector>

namespace
{

// The lights in their order: output left and right, input left and right.
constexpr int32_t kLightBitmaps[4] = {112, 113, 110, 111};
constexpr Point kLightCorners[4] = {{229, 52}, {243, 52}, {229, 91}, {243, 91}};

void ClearMap(int32_t* map)
{
    for (int32_t i = 0; i < kPairMenuPairs; ++i)
    {
        map[i] = -1;
    }
}

} // namespace

RavloEditor::RavloEditor(RavloEffect* effect)
    : PluginEditor(effect), effect_(effect), background_(new PluginBitmap(101)), launchBitmap_(new PluginBitmap(120))
{
    SetRect(kWidth, kHeight);
    ClearMap(outputPairs_);
    ClearMap(inputPairs_);
}

RavloEditor::~RavloEditor()
{
    Close();
    background_->Forget();
    launchBitmap_->Forget();
}

void RavloEditor::AddControl(PluginControl* control)
{
    if (!frame_->AddView(control))
    {
        delete control;
    }
}

VstValue RavloEditor::Open(void* parentWindow)
{
    PluginEditor::Open(parentWindow);
    if (frame_)
    {
        return 1;
    }
    if (!outputMenuBitmap_)
    {
        outputMenuBitmap_ = new PluginBitmap(102);
    }
    if (!inputMenuBitmap_)
    {
        inputMenuBitmap_ = new PluginBitmap(103);
    }
    frame_ = new Frame(Rect(0, 0, kWidth, kHeight), static_cast<HWND>(parentWindow), this);
    frame_->SetBackground(background_);

    // Each control is one picture of its bitmap: the full width and half the height.
    const auto corner = [](const Point& at, const PluginBitmap* bitmap) {
        return Rect(at.x, at.y, at.x + bitmap->GetWidth(), at.y + bitmap->GetHeight() / 2);
    };
    launchButton_ = new OnOffButton(corner(Point(186, 121), launchBitmap_), this, kLaunchButton, launchBitmap_);
    AddControl(launchButton_);
    for (int32_t i = 0; i < 4; ++i)
    {
        lightBitmaps_[i] = new PluginBitmap(kLightBitmaps[i]);
        lights_[i] = new OnOffButton(corner(kLightCorners[i], lightBitmaps_[i]), this, kLight, lightBitmaps_[i]);
        lights_[i]->SetMouseEnabled(false);
        AddControl(lights_[i]);
    }
    outputMenu_ = new OptionMenu(Rect(74, 49, 210, 65), this, kOutputMenu, outputMenuBitmap_);
    inputMenu_ = new OptionMenu(Rect(74, 88, 210, 104), this, kInputMenu, inputMenuBitmap_);
    for (OptionMenu* menu : {outputMenu_, inputMenu_})
    {
        menu->SetFont(4);
        menu->SetFontColor(Colors::kBlack);
        AddControl(menu);
    }
    Update();

    stopEvent_ = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    lightThread_ = stopEvent_ ? CreateThread(nullptr, 0, &RavloEditor::LightThread, this, 0, nullptr) : nullptr;
    if (lightThread_)
    {
        SetThreadPriority(lightThread_, THREAD_PRIORITY_BELOW_NORMAL);
    }
    return 1;
}

void RavloEditor::Close()
{
    // The thread sets the lights' values: it ends before the frame deletes them.
    if (lightThread_)
    {
        SetEvent(stopEvent_);
        WaitForSingleObject(lightThread_, 30000);
        CloseHandle(lightThread_);
        lightThread_ = nullptr;
    }
    if (stopEvent_)
    {
        CloseHandle(stopEvent_);
        stopEvent_ = nullptr;
    }
    delete frame_;
    frame_ = nullptr;
    inputMenu_ = nullptr;
    outputMenu_ = nullptr;
    launchButton_ = nullptr;
    // Cleared as well as released, so that the next Open makes them afresh.
    for (PluginBitmap** bitmap : {&outputMenuBitmap_, &inputMenuBitmap_, &lightBitmaps_[0], &lightBitmaps_[1],
                                  &lightBitmaps_[2], &lightBitmaps_[3]})
    {
        ForgetIfAny(*bitmap);
        *bitmap = nullptr;
    }
    for (OnOffButton*& light : lights_)
    {
        light = nullptr;
    }
}

void RavloEditor::SetParameter(int32_t, float) {}

void RavloEditor::FillPairMenus()
{
    ClearMap(outputPairs_);
    ClearMap(inputPairs_);
    outputMenu_->RemoveAllEntries();
    inputMenu_->RemoveAllEntries();
    if (!effect_)
    {
        return;
    }
    inputMenu_->AddEntry("Off: <select input>");
    outputMenu_->AddEntry("Off: <select output>");
    const AsioLink* link = effect_->GetLink();
    if (!link)
    {
        return;
    }
    std::vector<PairState> outputs;
    for (int32_t i = 0; i < link->GetOutputCount() / 2; ++i)
    {
        const AsioChannelInfo* first = link->GetOutputPair(i);
        outputs.push_back(PairState{first != nullptr, first && first->isActive});
    }
    const std::vector<int32_t> outputChoice = ChoosePairs(outputs, effect_->GetOutputPair());
    for (size_t k = 0; k < outputChoice.size(); ++k)
    {
        outputPairs_[k] = outputChoice[k];
        outputMenu_->AddEntry(link->GetOutputPair(outputChoice[k])->name);
    }
    std::vector<PairState> inputs;
    for (int32_t i = 0; i < link->GetInputCount() / 2; ++i)
    {
        const AsioChannelInfo* first = link->GetInputPair(i);
        inputs.push_back(PairState{first != nullptr, first && first->isActive});
    }
    const std::vector<int32_t> inputChoice = ChoosePairs(inputs, effect_->GetInputPair());
    for (size_t k = 0; k < inputChoice.size(); ++k)
    {
        inputPairs_[k] = inputChoice[k];
        char name[64] = {};
        link->PairName(inputChoice[k], name);
        inputMenu_->AddEntry(name);
    }
}

void RavloEditor::Update()
{
    if (!outputMenu_ || !inputMenu_)
    {
        return;
    }
    FillPairMenus();
    if (!effect_)
    {
        return;
    }
    const auto select = [](OptionMenu* menu, const int32_t* map, int32_t pair) {
        for (int32_t k = 0; k < kPairMenuPairs && k + 1 < menu->GetNbEntries(); ++k)
        {
            if (pair >= 0 && map[k] == pair)
            {
                menu->SetCurrent(k + 1);
            }
        }
    };
    select(outputMenu_, outputPairs_, effect_->GetOutputPair());
    select(inputMenu_, inputPairs_, effect_->GetInputPair());
}

void RavloEditor::OnValueChanged(DrawContext*, PluginControl* control)
{
    if (!effect_ || !control)
    {
        return;
    }
    switch (control->GetTag())
    {
    case kInputMenu: {
        const int32_t index = inputMenu_->GetCurrent();
        effect_->SetInputPair(index > 0 && index <= kPairMenuPairs ? inputPairs_[index - 1] : -1);
        break;
    }
    case kOutputMenu: {
        const int32_t index = outputMenu_->GetCurrent();
        effect_->SetOutputPair(index > 0 && index <= kPairMenuPairs ? outputPairs_[index - 1] : -1);
        break;
    }
    case kLaunchButton:
        // The pressed picture stays a moment, then the button comes back up.
        Sleep(300);
        control->SetValue(0.0f);
        LaunchMixer();
        break;
    default:
        break;
    }
}

DWORD WINAPI RavloEditor::LightThread(void* editor)
{
    static_cast<RavloEditor*>(editor)->RunLights();
    return 0;
}

void RavloEditor::RunLights()
{
    if (!effect_)
    {
        return;
    }
    while (WaitForSingleObject(stopEvent_, kLightPeriod) == WAIT_TIMEOUT)
    {
        // Held while it is read: a reconfiguration on another thread waits before it deletes
        // the stream.
        StreamSlot::Use stream(effect_->GetStream());
        if (!stream.Get())
        {
            continue;
        }
        // The driver buffers in the lights' order: outputs, then inputs.
        for (int32_t i = 0; i < 4; ++i)
        {
            lights_[i]->SetValue(stream.Get()->TakeLevel(i));
        }
    }
}
