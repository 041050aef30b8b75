#pragma once
#include "mixer/engine/VarnServices.h"

class MainWindowLink;
class Window;

// Whether deleting inserts (or a whole strip) leaves the host without its last ASIO playback
// or record channel, and the warning that asks first. The strips and the insert-slot strips
// both ask here.
struct AsioChannelCounts
{
    int playbackNow = 0;
    int playbackAfter = 0;
    int recordNow = 0;
    int recordAfter = 0;
};

// The ASIO channels of the system in use now, and after removing the inserts at the listed
// indices of chain (null or none listed: nothing removed). Playback: host inputs of kind 0
// and single ASIO channels (kind 3) with an ASIO index that a strip uses; record: the ASIO
// channel items (item kind 1) that something feeds or that record a mix.
AsioChannelCounts CountAsioChannels(IVarnHardware* system, IVarnInsertChain* chain, const int* indices, int count);

// 1 to go on, 0 when the user cancelled the warning. Without a lost channel, or with "show no
// asio warning" off, nothing is asked: "recplayzero" when both are lost, else "playzero" or
// "reczero", owned by owner.
int WarnNoAsio(const AsioChannelCounts& counts, MainWindowLink& link, Window* owner);
