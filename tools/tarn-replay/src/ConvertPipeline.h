// The conversion of a whole session on two threads. The file after its
// header is cut into chunks of whole lines (about a mebibyte each) and each
// chunk goes through four stages:
//   parse    (either thread): the rows into frames, as SessionReader parses them;
//   convert  (in file order): the time order, the scan of degenerate
//            inputs, and the calibrator (whose drift monitors change the
//            calibration as frames go by, so frames must reach it in order);
//   format   (either thread): the frames into text;
//   write    (in file order): the text to the output stream.
// While one thread converts or writes a chunk the other parses or formats
// the next. At most kChunksInFlight chunks are held at once, so memory does
// not grow with the file. The output is the text a one-thread replay
// writes, byte for byte; the first problem in file order is thrown, after
// the chunks before it have been written.
#pragma once

#include <array>
#include <functional>
#include <ostream>
#include <vector>

#include "SessionCalibrator.h"
#include "SessionScan.h"
#include "SessionTrace.h"
#include "SessionTypes.h"

namespace replay {

struct ConvertJob {
    const SessionReader& reader;          // the header read; the rows are read from its offset
    const SessionLayout& outputLayout;    // the input's columns, then the drift columns if any
    SessionCalibrator& calibrator;
    SessionScan& scan;
    bool driftColumns;                    // each glove's drift residual appended, in degrees
    std::function<void(double)> progress; // the share of the file written, 0 to 1
    SessionTrace* trace;                  // when not null, every frame as recorded and converted
    std::size_t sourceRow;                // the gloves' reference row, for the trace
};

// Converts every row after the header and writes the rows (not the
// header) to `out`. Throws SessionError or ReplayError for the first
// problem in the file's order.
void convertInParallel(const ConvertJob& job, std::ostream& out);

}  // namespace replay
