#include "plugins/quorvel/SendInsert.h"

SendInsert::SendInsert(ModelLink* link, int32_t position, const ChannelRecord& send)
    : InsertEffect(kInsertSend, link, position), send_(send)
{
}

bool SendInsert::Apply(bool wait)
{
    // The mixer program answers this command with E_NOTIMPL (its server does not implement
    // it), so there a send applied with wait is refused; the server decides.
    CallBlock block;
    PutWord(block, 1, Position());
    PutWord(block, 2, send_.first);
    PutWord(block, 3, send_.second);
    PutWord(block, 4, wait ? 1 : 0);
    return ApplyWith(block, kCmdSetSendInsertRouting, wait, 5);
}

void SendInsert::Reload()
{
    InsertEffect::Reload();
    ReadAllParams();
}

SendReturnInsert::SendReturnInsert(ModelLink* link, int32_t position, const ChannelRecord& send,
                                   const ChannelRecord& ret)
    : InsertEffect(kInsertSendReturn, link, position), send_(send), return_(ret)
{
}

bool SendReturnInsert::Apply(bool wait)
{
    CallBlock block;
    PutWord(block, 1, Position());
    PutWord(block, 2, send_.first);
    PutWord(block, 3, send_.second);
    PutWord(block, 4, return_.first);
    PutWord(block, 5, return_.second);
    PutWord(block, 6, wait ? 1 : 0);
    return ApplyWith(block, kCmdSetSendReturnInsertRouting, wait, 7);
}

void SendReturnInsert::Reload()
{
    InsertEffect::Reload();
    ReadAllParams();
}
