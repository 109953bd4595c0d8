/* The storage limit of an import, as its own process: plain SQLite replacing a model's rows.
 *   nlx_sqlite_limit DATABASE ROWS_FILE
 * Reads the rows file the whole-command benchmark wrote (the decoded rows of a transfer, with
 * each table's DELETE and INSERT statements), then in one transaction deletes each table's rows
 * and inserts the new ones with one prepared statement per table. The connection runs with the
 * store's synchronous level (FULL) and the file's own journal mode, as nlx's store does; it uses
 * nothing but SQLite and the C library.
 *
 * Rows file, numbers little-endian: "NLXROWS1", u32 tables; per table: u32 length + DELETE text,
 * u32 length + INSERT text, u32 columns, u32 rows, then per cell a tag byte: 0 NULL, 1 text
 * (u32 length + bytes), 2 real (8 bytes), 3 integer (8 bytes). */
#include <sqlite3.h>

#include <fcntl.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

static const unsigned char* at;
static const unsigned char* end;

static void fail(const char* what, sqlite3* db) {
    fprintf(stderr, "nlx_sqlite_limit: %s%s%s\n", what, db ? ": " : "", db ? sqlite3_errmsg(db) : "");
    exit(1);
}

static uint32_t take_u32(void) {
    uint32_t v;
    if (end - at < 4) fail("the rows file is cut short", NULL);
    memcpy(&v, at, 4);
    at += 4;
    return v;
}

static const char* take_bytes(uint32_t n) {
    const char* p = (const char*)at;
    if ((uint32_t)(end - at) < n) fail("the rows file is cut short", NULL);
    at += n;
    return p;
}

static void exec(sqlite3* db, const char* sql, int n) {
    sqlite3_stmt* s = NULL;
    if (sqlite3_prepare_v2(db, sql, n, &s, NULL) != SQLITE_OK) fail(sql, db);
    if (sqlite3_step(s) != SQLITE_DONE) fail(sql, db);
    sqlite3_finalize(s);
}

int main(int argc, char** argv) {
    if (argc != 3) {
        fprintf(stderr, "usage: nlx_sqlite_limit DATABASE ROWS_FILE\n");
        return 2;
    }
    int fd = open(argv[2], O_RDONLY | O_CLOEXEC);
    struct stat st;
    if (fd < 0 || fstat(fd, &st) != 0) fail("cannot open the rows file", NULL);
    unsigned char* bytes = malloc((size_t)st.st_size + 1);
    size_t got = 0;
    while (bytes && got < (size_t)st.st_size) {
        ssize_t r = read(fd, bytes + got, (size_t)st.st_size - got);
        if (r <= 0) fail("cannot read the rows file", NULL);
        got += (size_t)r;
    }
    close(fd);
    if (!bytes || got < 8 || memcmp(bytes, "NLXROWS1", 8) != 0) fail("not a rows file", NULL);
    at = bytes + 8;
    end = bytes + got;

    sqlite3* db = NULL;
    if (sqlite3_open_v2(argv[1], &db, SQLITE_OPEN_READWRITE, NULL) != SQLITE_OK) fail(argv[1], db);
    sqlite3_busy_timeout(db, 10000);
    if (sqlite3_exec(db, "PRAGMA synchronous = FULL", NULL, NULL, NULL) != SQLITE_OK) fail("PRAGMA", db);
    if (sqlite3_exec(db, "BEGIN IMMEDIATE", NULL, NULL, NULL) != SQLITE_OK) fail("BEGIN", db);
    uint32_t tables = take_u32();
    for (uint32_t t = 0; t < tables; ++t) {
        uint32_t n = take_u32();
        const char* del = take_bytes(n);
        exec(db, del, (int)n);
        n = take_u32();
        const char* ins = take_bytes(n);
        sqlite3_stmt* insert = NULL;
        if (sqlite3_prepare_v2(db, ins, (int)n, &insert, NULL) != SQLITE_OK) fail("INSERT", db);
        uint32_t columns = take_u32(), rows = take_u32();
        for (uint32_t r = 0; r < rows; ++r) {
            for (uint32_t c = 1; c <= columns; ++c) {
                const char* tag = take_bytes(1);
                if (*tag == 0) {
                    sqlite3_bind_null(insert, (int)c);
                } else if (*tag == 1) {
                    uint32_t len = take_u32();
                    sqlite3_bind_text(insert, (int)c, take_bytes(len), (int)len, SQLITE_STATIC);
                } else if (*tag == 2) {
                    double v;
                    memcpy(&v, take_bytes(8), 8);
                    sqlite3_bind_double(insert, (int)c, v);
                } else {
                    int64_t v;
                    memcpy(&v, take_bytes(8), 8);
                    sqlite3_bind_int64(insert, (int)c, v);
                }
            }
            if (sqlite3_step(insert) != SQLITE_DONE) fail("INSERT", db);
            sqlite3_reset(insert);
        }
        sqlite3_finalize(insert);
    }
    if (sqlite3_exec(db, "COMMIT", NULL, NULL, NULL) != SQLITE_OK) fail("COMMIT", db);
    if (sqlite3_close(db) != SQLITE_OK) fail("close", db);
    free(bytes);
    return 0;
}
