#pragma once

// The class object of a COM class. Class objects are static: COM's references to them are
// not counted and keep nothing alive.
//
// Creator says how instances come about:
//   static HRESULT Create(REFIID iid, void** object)  object is valid and already cleared
//   static void LockServer(bool lock)                 IClassFactory::LockServer

#include "framework/platform/Win32Api.h"

#include <unknwn.h>

#include <new>

template <typename Creator>
class ComClassFactory final : public IClassFactory
{
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory))
        {
            *object = static_cast<IClassFactory*>(this);
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (outer)
            return CLASS_E_NOAGGREGATION;
        return Creator::Create(iid, object);
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override
    {
        Creator::LockServer(lock != FALSE);
        return S_OK;
    }
};

// Hands out the interface asked of a new object and drops the reference its creation gave;
// a null object (out of memory) answers E_OUTOFMEMORY.
template <typename Object>
HRESULT HandOutNewObject(Object* created, REFIID iid, void** object)
{
    if (!created)
        return E_OUTOFMEMORY;
    const HRESULT result = created->QueryInterface(iid, object);
    created->Release();
    return result;
}

// The creator of an in-process server that stays loaded: each request gets a new object made
// with the default constructor, and the server's lock count means nothing.
template <typename Object>
struct NewObjectCreator
{
    static HRESULT Create(REFIID iid, void** object)
    {
        return HandOutNewObject(new (std::nothrow) Object(), iid, object);
    }
    static void LockServer(bool) {}
};
