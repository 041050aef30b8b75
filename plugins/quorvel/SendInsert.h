#pragma once
// Inserts that route the strip to the card's hardware: a send (kind 5) and a send/return
// (kind 6). Their channel records are the plug-in's own, with UTF-16 names of 128 units (the
// state chunk's "PISI" and "PIRI"); only the records' two values reach the server.

#include "plugins/quorvel/InsertEffect.h"

class SendInsert final : public InsertEffect
{
public:
    SendInsert(ModelLink* link, int32_t position, const ChannelRecord& send);

    bool Apply(bool wait) override;
    void Reload() override;
    const ChannelRecord& Send() const { return send_; }

private:
    ChannelRecord send_;
};

class SendReturnInsert final : public InsertEffect
{
public:
    SendReturnInsert(ModelLink* link, int32_t position, const ChannelRecord& send, const ChannelRecord& ret);

    bool Apply(bool wait) override;
    void Reload() override;
    const ChannelRecord& Send() const { return send_; }
    const ChannelRecord& Return() const { return return_; }

private:
    ChannelRecord send_;
    ChannelRecord return_;
};
