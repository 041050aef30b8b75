#pragma once
#include "mixer/engine/VarnServices.h"

// An engine that does nothing and has nothing: every call answers 0 or null. Test engines
// derive from it and answer only what their test reads.
class NullServices : public IVarnServices
{
public:
    int VARN_CALL Init(const char16_t*, const char16_t*, const char16_t*) override { return 0; }
    int VARN_CALL AddListener(IVarnListener*) override { return 0; }
    int VARN_CALL RemoveListener(IVarnListener*) override { return 0; }
    int VARN_CALL SetViewInterface(IVarnView*) override { return 0; }
    int VARN_CALL CreateEmptySession(const void*, const char16_t*, int) override { return 0; }
    int VARN_CALL CreateSessionFromTemplate(const void*, const char16_t*, int) override { return 0; }
    int VARN_CALL LoadSession(const char16_t*, int) override { return 0; }
    int VARN_CALL SaveSession(const char16_t*, int, int) override { return 0; }
    int VARN_CALL GetSessionPath(char16_t*, int, int) override { return 0; }
    IVarnMixer* VARN_CALL GetMixer() override { return nullptr; }
    int VARN_CALL PrepareTemplates() override { return 0; }
    int VARN_CALL GetTemplateCount() override { return 0; }
    int VARN_CALL GetTemplate(int, void*) override { return 0; }
    IVarnFxLibrary* VARN_CALL GetFxLibrary() override { return nullptr; }
    int VARN_CALL IsReady() override { return 0; }
    int VARN_CALL IsRunning() override { return 0; }
    void VARN_CALL Release() override {}
    int VARN_CALL IsModified() override { return 0; }
    void VARN_CALL SetModified(int) override {}
    int VARN_CALL GetFileRate(const char16_t*, int*) override { return 0; }
    IVarnAutomation* VARN_CALL GetAutomation() override { return nullptr; }
    void VARN_CALL AcknowledgeEvent(int, VarnEventArg, VarnEventArg, VarnEventArg) override {}
};
