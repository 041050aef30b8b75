#pragma once
#include "mixer/comserver/ComInterfaces.h"

// The object of the class KivCorvanServices: one per process, handed to every client by the
// singleton class factory. Clients subscribe callback sinks with a bit mask on two
// process-wide lists (SinkList): public sinks through IKivCorvanServices, private sinks of the
// effects plug-in through IKivCorvanEventSource; the application broadcasts notification
// bits to them.
class ServicesServer : public IKivCorvanServices
{
public:
    ServicesServer();
    // Releases every sink of both lists: the object goes at program end, before COM does.
    virtual ~ServicesServer();
    ServicesServer(const ServicesServer&) = delete;
    ServicesServer& operator=(const ServicesServer&) = delete;

    // IUnknown. The object is not deleted when the count drops: it lives until the COM module
    // ends, and each reference holds a lock on the module.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // IKivCorvanServices
    HRESULT STDMETHODCALLTYPE Advise(IKivCorvanNotify* pNotify, DWORD dwAdviseMask, DWORD hUser,
                                     DWORD* phAdviseCookie) override;
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD hAdviseCookie) override;
    HRESULT STDMETHODCALLTYPE GetASIOChannelName(LONG lChannel, LONG bInput, LONG nNumChars,
                                                 char* buf) override;
    HRESULT STDMETHODCALLTYPE SetMonitorInfo(KivASIOMonitorInfo* pInfo) override;
    HRESULT STDMETHODCALLTYPE GetASIODriverProfile(KivASIODrvProfile* pProfile) override;

    // Broadcasts: every sink whose mask shares a bit with type is called with the whole type
    // value; the sinks' results are ignored. Private sinks also get the two values.
    static void FireNotify(DWORD type);
    static void FirePrivateNotify(DWORD type, DWORD a, DWORD b);

private:
    // IKivCorvanEventSource: its own face, since its Unadvise works on the private list.
    class EventSource : public IKivCorvanEventSource
    {
    public:
        explicit EventSource(ServicesServer& owner) : owner_(owner) {}
        HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
        ULONG STDMETHODCALLTYPE AddRef() override;
        ULONG STDMETHODCALLTYPE Release() override;
        HRESULT STDMETHODCALLTYPE Advise(IKivCorvanEventSink* pSink, DWORD dwAdviseMask,
                                         DWORD hUser, DWORD* phAdviseCookie) override;
        HRESULT STDMETHODCALLTYPE Unadvise(DWORD hAdviseCookie) override;

    private:
        ServicesServer& owner_;
    };

    EventSource eventSource_;
    LONG references_ = 0;
};
