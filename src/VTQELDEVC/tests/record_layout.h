/* One field of a boundary record as the C compiler placed it. */
#ifndef VTQELDEVC_TESTS_RECORD_LAYOUT_H
#define VTQELDEVC_TESTS_RECORD_LAYOUT_H

#ifdef __cplusplus
extern "C" {
#endif

typedef struct RecordLayoutRow {
    const char* field; /* "Record.member" */
    long offset;       /* first byte of the field in the record */
    long size;         /* bytes of the field */
    long record_size;
} RecordLayoutRow;

/* Fills at most capacity rows and returns how many fields the C side measures. */
int RecordLayoutFromC(RecordLayoutRow* rows, int capacity);

#ifdef __cplusplus
}
#endif

#endif
