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
    : PluginEditor(effect), m_effect(effect), m_background(new PluginBitmap(101)), m_launchBitmap(new PluginBitmap(120))
{
    SetRect(kWidth, kHeight);
    ClearMap(m_outputPairs);
    ClearMap(m_inputPairs);
}

RavloEditor::~RavloEditor()
{
    Close();
    m_background->Forget();
    m_launchBitmap->Forget();
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
    if (!m_outputMenuBitmap)
    {
        m_outputMenuBitmap = new PluginBitmap(102);
    }
    if (!m_inputMenuBitmap)
    {
        m_inputMenuBitmap = new PluginBitmap(103);
    }
    frame_ = new Frame(Rect(0, 0, kWidth, kHeight), static_cast<HWND>(parentWindow), this);
    frame_->SetBackground(m_background);

    // Each control is one picture of its bitmap: the full width and half the height.
    const auto corner = [](const Point& at, const PluginBitmap* bitmap) {
        return Rect(at.x, at.y, at.x + bitmap->GetWidth(), at.y + bitmap->GetHeight() / 2);
    };
    m_launchButton = new OnOffButton(corner(Point(186, 121), m_launchBitmap), this, kLaunchButton, m_launchBitmap);
    AddControl(m_launchButton);
    for (int32_t i = 0; i < 4; ++i)
    {
        m_lightBitmaps[i] = new PluginBitmap(kLightBitmaps[i]);
        m_lights[i] = new OnOffButton(corner(kLightCorners[i], m_lightBitmaps[i]), this, kLight, m_lightBitmaps[i]);
        m_lights[i]->SetMouseEnabled(false);
        AddControl(m_lights[i]);
    }
    m_outputMenu = new OptionMenu(Rect(74, 49, 210, 65), this, kOutputMenu, m_outputMenuBitmap);
    m_inputMenu = new OptionMenu(Rect(74, 88, 210, 104), this, kInputMenu, m_inputMenuBitmap);
    for (OptionMenu* menu : {m_outputMenu, m_inputMenu})
    {
        menu->SetFont(4);
        menu->SetFontColor(Colors::kBlack);
        AddControl(menu);
    }
    Update();

    m_stopEvent = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    m_lightThread = m_stopEvent ? CreateThread(nullptr, 0, &RavloEditor::LightThread, this, 0, nullptr) : nullptr;
    if (m_lightThread)
    {
        SetThreadPriority(m_lightThread, THREAD_PRIORITY_BELOW_NORMAL);
    }
    return 1;
}

void RavloEditor::Close()
{
    // The thread sets the lights' values: it ends before the frame deletes them.
    if (m_lightThread)
    {
        SetEvent(m_stopEvent);
        WaitForSingleObject(m_lightThread, 30000);
        CloseHandle(m_lightThread);
        m_lightThread = nullptr;
    }
    if (m_stopEvent)
    {
        CloseHandle(m_stopEvent);
        m_stopEvent = nullptr;
    }
    delete frame_;
    frame_ = nullptr;
    m_inputMenu = nullptr;
    m_outputMenu = nullptr;
    m_launchButton = nullptr;
    // Cleared as well as released, so that the next Open makes them afresh.
    for (PluginBitmap** bitmap : {&m_outputMenuBitmap, &m_inputMenuBitmap, &m_lightBitmaps[0], &m_lightBitmaps[1],
                                  &m_lightBitmaps[2], &m_lightBitmaps[3]})
    {
        ForgetIfAny(*bitmap);
        *bitmap = nullptr;
    }
    for (OnOffButton*& light : m_lights)
    {
        light = nullptr;
    }
}

void RavloEditor::SetParameter(int32_t, float) {}

void RavloEditor::FillPairMenus()
{
    ClearMap(m_outputPairs);
    ClearMap(m_inputPairs);
    m_outputMenu->RemoveAllEntries();
    m_inputMenu->RemoveAllEntries();
    if (!m_effect)
    {
        return;
    }
    m_inputMenu->AddEntry("Off: <select input>");
    m_outputMenu->AddEntry("Off: <select output>");
    const AsioLink* link = m_effect->GetLink();
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
    const std::vector<int32_t> outputChoice = ChoosePairs(outputs, m_effect->GetOutputPair());
    for (size_t k = 0; k < outputChoice.size(); ++k)
    {
        m_outputPairs[k] = outputChoice[k];
        m_outputMenu->AddEntry(link->GetOutputPair(outputChoice[k])->name);
    }
    std::vector<PairState> inputs;
    for (int32_t i = 0; i < link->GetInputCount() / 2; ++i)
    {
        const AsioChannelInfo* first = link->GetInputPair(i);
        inputs.push_back(PairState{first != nullptr, first && first->isActive});
    }
    const std::vector<int32_t> inputChoice = ChoosePairs(inputs, m_effect->GetInputPair());
    for (size_t k = 0; k < inputChoice.size(); ++k)
    {
        m_inputPairs[k] = inputChoice[k];
        char name[64] = {};
        link->PairName(inputChoice[k], name);
        m_inputMenu->AddEntry(name);
    }
}

void RavloEditor::Update()
{
    if (!m_outputMenu || !m_inputMenu)
    {
        return;
    }
    FillPairMenus();
    if (!m_effect)
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
    select(m_outputMenu, m_outputPairs, m_effect->GetOutputPair());
    select(m_inputMenu, m_inputPairs, m_effect->GetInputPair());
}

void RavloEditor::OnValueChanged(DrawContext*, PluginControl* control)
{
    if (!m_effect || !control)
    {
        return;
    }
    switch (control->GetTag())
    {
    case kInputMenu: {
        const int32_t index = m_inputMenu->GetCurrent();
        m_effect->SetInputPair(index > 0 && index <= kPairMenuPairs ? m_inputPairs[index - 1] : -1);
        break;
    }
    case kOutputMenu: {
        const int32_t index = m_outputMenu->GetCurrent();
        m_effect->SetOutputPair(index > 0 && index <= kPairMenuPairs ? m_outputPairs[index - 1] : -1);
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
    if (!m_effect)
    {
        return;
    }
    while (WaitForSingleObject(m_stopEvent, kLightPeriod) == WAIT_TIMEOUT)
    {
        // Held while it is read: a reconfiguration on another thread waits before it deletes
        // the stream.
        StreamSlot::Use stream(m_effect->GetStream());
        if (!stream.Get())
        {
            continue;
        }
        // The driver buffers in the lights' order: outputs, then inputs.
        for (int32_t i = 0; i < 4; ++i)
        {
            m_lights[i]->SetValue(stream.Get()->TakeLevel(i));
        }
    }
}
