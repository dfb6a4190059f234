/* TarnSession: session files (docs/session-format.md) read into and
 * written from arrays the caller owns, with every rule and message of
 * tarn-replay, which reads them with the same code.
 *
 * A session is a CSV file with a header row naming its columns: "time"
 * (seconds), the gloves' 80 columns "rglove_<row>_<w|x|y|z>" and
 * "lglove_...", and the devices' 7 columns "<rtracker|ltracker|headset>_
 * <px|py|pz|qw|qx|qy|qz>", in any order; a glove or device is present when
 * all its columns are. Other columns are kept as text.
 *
 * Frames are read and written as arrays of doubles, one array per block,
 * packed, frame after frame: 1 double a frame for the times, 80 for a glove
 * (rows 0 to 19, each w, x, y, z) and 7 for a device (position x, y, z,
 * then quaternion w, x, y, z), in the file's own units and axes.
 *
 * Every refusal is a status whose value is tarn-replay's exit code for the
 * same file, and a message "file:line: what is wrong"
 * (tarn_session_message). No function writes to standard output or error.
 * A reader or writer is used from one thread at a time. */
#ifndef TARN_SESSION_H
#define TARN_SESSION_H

#include <stddef.h>

#if defined(_WIN32)
#if defined(TARN_BUILDING_SESSION)
#define TARN_SESSION_API __declspec(dllexport)
#else
#define TARN_SESSION_API __declspec(dllimport)
#endif
#else
#define TARN_SESSION_API __attribute__((visibility("default")))
#endif

/* The version of this header; the library is built with the same. */
#define TARN_SESSION_VERSION_MAJOR 1
#define TARN_SESSION_VERSION_MINOR 2
#define TARN_SESSION_VERSION_PATCH 0

#ifdef __cplusplus
extern "C" {
#endif

typedef enum tarn_session_status {
    TARN_SESSION_OK = 0,
    TARN_SESSION_INVALID_ARGUMENT = 1, /* NULL, a block out of range, a
                                          reader that has failed */
    TARN_SESSION_UNREADABLE = 3,       /* cannot open or read the file */
    TARN_SESSION_BAD_HEADER = 4,       /* empty file; missing, empty,
                                          repeated or partial columns; a
                                          header of numbers */
    TARN_SESSION_COLUMN_COUNT = 5,     /* a row with another number of
                                          fields than the header */
    TARN_SESSION_NOT_A_NUMBER = 6,     /* a field of a known column that is
                                          not a number */
    TARN_SESSION_UNWRITABLE = 7,       /* cannot create or write the file */
    TARN_SESSION_NO_FRAMES = 8,        /* a header and no rows */
    TARN_SESSION_TIME_ORDER = 10,      /* a time that is not a number, goes
                                          back, or repeats (unless allowed) */
    TARN_SESSION_NEAR_MISS = 11,       /* with strict_columns: a column that
                                          nearly names a known one */
    TARN_SESSION_OUT_OF_MEMORY = 12
} tarn_session_status;

/* The blocks of a frame, and the doubles each holds a frame. */
typedef enum tarn_session_block {
    TARN_SESSION_RIGHT_GLOVE = 0,
    TARN_SESSION_LEFT_GLOVE = 1,
    TARN_SESSION_RIGHT_TRACKER = 2,
    TARN_SESSION_LEFT_TRACKER = 3,
    TARN_SESSION_HEADSET = 4
} tarn_session_block;
#define TARN_SESSION_BLOCKS 5
#define TARN_SESSION_GLOVE_VALUES 80
#define TARN_SESSION_DEVICE_VALUES 7

/* The name of the column holding value `value` of `block` ("rglove_3_x",
 * "headset_qw"; values as in the arrays below), NULL for other arguments.
 * Static. */
TARN_SESSION_API const char* tarn_session_block_column(tarn_session_block block, size_t value);

/* Where frames go or come from: each array packed, frame after frame; a
 * NULL array is not read into (reading) and must not be given for a block
 * the file has (writing). */
typedef struct tarn_session_arrays {
    double* times;
    double* blocks[TARN_SESSION_BLOCKS];
} tarn_session_arrays;

typedef struct tarn_session_options {
    unsigned char allow_repeated_time; /* 1: a frame may have the time of
                                          the one before */
    unsigned char strict_columns;      /* 1: a near miss is refused
                                          (TARN_SESSION_NEAR_MISS), not a
                                          warning */
    const char* repeated_time_hint;    /* how the message for a repeated
                                          time names the way to allow it;
                                          NULL: "--allow-repeated-time" */
} tarn_session_options;

/* ---- Reading ----------------------------------------------------------- */

typedef struct tarn_session_reader tarn_session_reader;

/* Opens the file at `path` and reads its header. `options` may be NULL
 * (nothing allowed, near misses warned of). *reader is set to a new reader
 * on every status but TARN_SESSION_INVALID_ARGUMENT and
 * TARN_SESSION_OUT_OF_MEMORY, also when the file is refused, so that
 * tarn_session_message can say why; close it with tarn_session_close.
 * Statuses: TARN_SESSION_INVALID_ARGUMENT (NULL path or reader),
 * TARN_SESSION_UNREADABLE, TARN_SESSION_BAD_HEADER,
 * TARN_SESSION_NEAR_MISS, TARN_SESSION_OUT_OF_MEMORY. */
TARN_SESSION_API tarn_session_status tarn_session_open(const char* path, const tarn_session_options* options,
                                                       tarn_session_reader** reader);

/* Frees the reader (NULL is ignored). */
TARN_SESSION_API void tarn_session_close(tarn_session_reader* reader);

/* The message of the reader's last refusal ("file:line: ..."), or "" when
 * it has none. Valid until the next call that refuses, or the reader is
 * closed. */
TARN_SESSION_API const char* tarn_session_message(const tarn_session_reader* reader);

/* The header: how many columns, each one's name (NULL beyond the last),
 * whether the file has a block (1 or 0), and whether a column is read as
 * numbers (time and the blocks present: 1) or kept as text (0). */
TARN_SESSION_API size_t tarn_session_column_count(const tarn_session_reader* reader);
TARN_SESSION_API const char* tarn_session_column_name(const tarn_session_reader* reader, size_t column);
TARN_SESSION_API int tarn_session_has_block(const tarn_session_reader* reader, tarn_session_block block);
TARN_SESSION_API int tarn_session_is_known(const tarn_session_reader* reader, size_t column);

/* Warnings about the header, in column order: a column that nearly names
 * a known one ("column rglov_0_w is not a known column; did you mean
 * rglove_0_w?"). NULL beyond the last. */
TARN_SESSION_API size_t tarn_session_warning_count(const tarn_session_reader* reader);
TARN_SESSION_API const char* tarn_session_warning(const tarn_session_reader* reader, size_t index);

/* An upper bound on the frames left to read: the lines after the ones
 * read so far (blank lines are counted, and skipped when read). Reads the
 * rest of the file once, without parsing it.
 * Statuses: TARN_SESSION_INVALID_ARGUMENT, TARN_SESSION_UNREADABLE,
 * TARN_SESSION_OUT_OF_MEMORY. */
TARN_SESSION_API tarn_session_status tarn_session_frames_at_most(tarn_session_reader* reader, size_t* frames);

/* Reads up to `capacity` frames into `arrays` (blocks the file lacks, or
 * arrays that are NULL, are not written) and sets *count to the frames
 * read: 0 at the end of the file. Rows are checked as tarn-replay checks
 * them: the field count, a number in every known column, the time order.
 * On a refusal *count is the number of good frames before the bad row,
 * which are in the arrays, and the reader fails every later call.
 * Statuses: TARN_SESSION_INVALID_ARGUMENT (NULL, a failed reader, a
 * capacity of 0), TARN_SESSION_UNREADABLE, TARN_SESSION_COLUMN_COUNT,
 * TARN_SESSION_NOT_A_NUMBER, TARN_SESSION_TIME_ORDER,
 * TARN_SESSION_NO_FRAMES (the file has no frame: the first read only),
 * TARN_SESSION_OUT_OF_MEMORY. */
TARN_SESSION_API tarn_session_status tarn_session_read(tarn_session_reader* reader, const tarn_session_arrays* arrays,
                                                       size_t capacity, size_t* count);

/* The text of column `column` (one not read as numbers) in frame `frame`
 * of the last read, trimmed as tarn-replay trims it; NULL for other
 * arguments. Valid until the next read. */
TARN_SESSION_API const char* tarn_session_text(const tarn_session_reader* reader, size_t frame, size_t column);

/* The file's line of frame `frame` of the last read (1-based), 0 beyond. */
TARN_SESSION_API size_t tarn_session_line(const tarn_session_reader* reader, size_t frame);

/* ---- Writing ----------------------------------------------------------- */

typedef struct tarn_session_writer tarn_session_writer;

/* Creates the file at `path` and writes the header, the `count` columns
 * `names` in their order (checked as a read header is, and refused when a
 * name would not read back as written: a comma, a line end, blanks at
 * either end, or enclosing double quotes). Numbers are
 * written with the fewest digits that read back to the same double.
 * *writer is set as tarn_session_open sets its reader.
 * Statuses: TARN_SESSION_INVALID_ARGUMENT, TARN_SESSION_BAD_HEADER,
 * TARN_SESSION_UNWRITABLE, TARN_SESSION_OUT_OF_MEMORY. */
TARN_SESSION_API tarn_session_status tarn_session_create(const char* path, const char* const* names, size_t count,
                                                         tarn_session_writer** writer);

/* Writes `count` frames from `arrays` (an array for each block the header
 * has) and, for the columns kept as text, `texts`: for each frame, one
 * string per such column in column order (NULL when there are none).
 * Statuses: TARN_SESSION_INVALID_ARGUMENT (NULL, an array missing, a text
 * that is NULL or would not read back as written, as for names; nothing
 * is written), TARN_SESSION_UNWRITABLE,
 * TARN_SESSION_OUT_OF_MEMORY. */
TARN_SESSION_API tarn_session_status tarn_session_write(tarn_session_writer* writer, const tarn_session_arrays* arrays,
                                                        const char* const* texts, size_t count);

/* Writes what is left and closes the file; the status says whether
 * everything was written. Later writes fail.
 * Statuses: TARN_SESSION_INVALID_ARGUMENT (NULL, a failed or finished
 * writer), TARN_SESSION_UNWRITABLE. */
TARN_SESSION_API tarn_session_status tarn_session_finish(tarn_session_writer* writer);

/* The message of the writer's refusal, or "". */
TARN_SESSION_API const char* tarn_session_writer_message(const tarn_session_writer* writer);

/* Frees the writer (NULL is ignored), closing its file if still open. */
TARN_SESSION_API void tarn_session_close_writer(tarn_session_writer* writer);

#ifdef __cplusplus
}
#endif

#endif /* TARN_SESSION_H */
