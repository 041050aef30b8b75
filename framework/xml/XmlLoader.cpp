#include "framework/xml/XmlLoader.h"

#include <new>

#include "framework/xml/XmlDocument.h"

XmlLoader::~XmlLoader()
{
    delete document_;
}

int XmlLoader::CreateDocument()
{
    delete document_;
    document_ = new (std::nothrow) XmlDocument();
    if (document_ && !document_->Init())
    {
        delete document_;
        document_ = nullptr;
    }
    return document_ != nullptr;
}

int XmlLoader::Load(ByteReader& reader)
{
    return document_ && document_->Load(reader);
}

XmlDocument* XmlLoader::Detach()
{
    XmlDocument* document = document_;
    document_ = nullptr;
    return document;
}
