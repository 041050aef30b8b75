#pragma once
// Holds at most one document while it is made and loaded; the caller detaches it to own it.
#include "framework/base/Object.h"

class ByteReader;
class XmlDocument;

class XmlLoader : public Object
{
public:
    XmlLoader() = default;
    ~XmlLoader() override;
    XmlLoader(const XmlLoader&) = delete;
    XmlLoader& operator=(const XmlLoader&) = delete;

    // Replaces a document still held; 0 on failure.
    int CreateDocument();
    int Load(ByteReader& reader); // 0 without a document
    XmlDocument* GetDocument() const { return document_; }
    XmlDocument* Detach();
    void Release() { delete this; }

private:
    XmlDocument* document_ = nullptr;
};
