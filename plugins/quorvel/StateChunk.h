#pragma once
// The effects plug-in's state chunk "PPI1": the whole insert chain as the host keeps it in its
// project. Every integer is 32-bit little-endian; a sub-chunk is a tag, the length of its
// payload and the payload.
//
//   "PPI1" length of the rest
//     "PPII" 8: version 1, record count N
//     N records of 60 bytes: kind 1-6, the 16-byte effect id (kind 1, else zero), the ten
//       words of the insert's information
//     N "PINS", one per record: "PIST" 8 (version 2, value count V); kind 1: the selected
//       preset; bypassed; soloed; V x "PISP" (version 1, value kind, the value for kinds 0-4);
//       kinds 5 and 6: "PISI" (kind 6 also "PIRI"): version 1, the channel's two values, the
//       name's length n in UTF-16 units with its terminator, the n units.
//
// A chunk is user data: every count and length is bounded by the bytes that are left, a
// damaged or hostile chunk is refused whole.

#include "plugins/quorvel/ByteStream.h"
#include "plugins/quorvel/InsertState.h"

#include "plugins/base/platform/AlignedBuffer.h"

#include <functional>
#include <memory>

// The catalogue's preset record of a 16-byte id; false when it knows none.
using PresetFinder = std::function<bool(const EffectId& id, PresetRecord* record)>;

// Writes the list (every record valid) as a chunk at the stream's position; false when a
// record is not valid or the bytes cannot be stored.
bool WriteStateChunk(const InsertStateList& states, ByteStream& stream);

// Reads a chunk into the list; false when the chunk is refused (the list is then of no use):
// no "PPI1" tag, a count or length beyond the bytes left, a record kind outside 1-6, values
// whose memory cannot be had, or records that are not valid. A preset id the catalogue does
// not know keeps the chunk's id, so the next save keeps the effect.
bool ReadStateChunk(ByteStream& stream, const PresetFinder& findPreset, InsertStateList* states);

// The chunk of the list in a new owning buffer (unit 16); null when it cannot be made.
std::unique_ptr<AlignedBuffer> MakeStateChunk(const InsertStateList& states);
// Reads a chunk from a copy of the host's bytes (the copy never grows); false when refused.
bool ParseStateChunk(const void* data, size_t size, const PresetFinder& findPreset, InsertStateList* states);
