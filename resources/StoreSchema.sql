-- The schema of both snapshot stores, "Sequences.db" (the roll) and "Trash.db" (the bin); user_version 1.
-- Every change to it changes docs/formats.md in the same commit.

CREATE TABLE sequence (
    id INTEGER PRIMARY KEY,
    name TEXT,
    date REAL,
    foldername TEXT,
    parent_folder TEXT,
    rate INTEGER NOT NULL DEFAULT 0,
    color_tag INTEGER NOT NULL DEFAULT 0,
    tags TEXT,
    text TEXT,
    in_trash INTEGER NOT NULL DEFAULT 0
);

CREATE TABLE snap_info (
    id INTEGER PRIMARY KEY,
    sequence_id INTEGER NOT NULL REFERENCES sequence (id) ON DELETE CASCADE,
    position INTEGER NOT NULL,
    name TEXT,
    date REAL,
    filename TEXT,
    rate INTEGER NOT NULL DEFAULT 0,
    color_tag INTEGER NOT NULL DEFAULT 0,
    tags TEXT,
    text TEXT
);

CREATE INDEX snap_info_by_sequence ON snap_info (sequence_id, position, id);

PRAGMA user_version = 1;
