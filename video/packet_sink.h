// Where encoders hand their packets: the container writer, in the codec's time base.
#pragma once

#include <functional>
#include <string>

struct AVPacket;

namespace video {

using PacketSink = std::function<bool(AVPacket* packet, std::string& error)>;

}  // namespace video
