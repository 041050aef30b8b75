#include "plugins/quorvel/SendInsert.h"

SendInsert::SendInsert(ModelLink* link, int32_t position, const ChannelRecord& send)
    : InsertEffect(kInsertSend, link, position), send_(send)
{
}

bool SendInsert::Apply(bool wait)
{
    using S = Slots::SetSendInsertRouting;
    // The mixer program answers this command with E_NOTIMPL (its server does not implement
    // it), so there a send applied with wait is refused; the server decides.
    CallBlock block;
    PutWord(block, S::kPosition, Position());
    PutWord(block, S::kSendFirst, send_.first);
    PutWord(block, S::kSendSecond, send_.second);
    PutWord(block, S::kWait, wait ? 1 : 0);
    return ApplyWith(block, kCmdSetSendInsertRouting, wait, S::kInfo);
}

void SendInsert::Reload()
{
    ReloadWithValues();
}

SendReturnInsert::SendReturnInsert(ModelLink* link, int32_t position, const ChannelRecord& send,
                                   const ChannelRecord& ret)
    : InsertEffect(kInsertSendReturn, link, position), send_(send), return_(ret)
{
}

bool SendReturnInsert::Apply(bool wait)
{
    using S = Slots::SetSendReturnInsertRouting;
    CallBlock block;
    PutWord(block, S::kPosition, Position());
    PutWord(block, S::kSendFirst, send_.first);
    PutWord(block, S::kSendSecond, send_.second);
    PutWord(block, S::kReturnFirst, return_.first);
    PutWord(block, S::kReturnSecond, return_.second);
    PutWord(block, S::kWait, wait ? 1 : 0);
    return ApplyWith(block, kCmdSetSendReturnInsertRouting, wait, S::kInfo);
}

void SendReturnInsert::Reload()
{
    ReloadWithValues();
}
