// The figures of the link benchmark: percentiles of measured times, and the
// physical bound of each measurement, the bytes a frame puts on a line that
// carries 1920 bytes a second (19200 baud, 10 bits a byte).
#pragma once

#include <cstdint>
#include <vector>

constexpr double kLineBytesPerSecond = 1920.0;

// The nearest-rank P-th percentile (0 < P <= 100) of Samples; 0 for none.
double Percentile(std::vector<double> Samples, double P);

// Bytes on the wire of a request frame without data.
int RequestWireBytes(std::uint16_t ReqNo, std::uint8_t Param);
// Bytes on the wire of a reply frame with these data bytes (its check counted
// unstuffed: at least two bytes).
int ReplyWireBytes(const void* Data, int Count);
// Bytes on the wire of an event frame with these data bytes (check as above).
int EventWireBytes(std::uint16_t Code, std::uint8_t Param, const void* Data, int Count);

// Milliseconds a transaction cannot beat: its bytes on the line, and the 20 ms
// the link sleeps before it first looks for the reply.
double TransactionBoundMs(int WireBytes);
// Events a second that the line can carry at most.
double EventBoundPerSecond(int WireBytesPerEvent);
