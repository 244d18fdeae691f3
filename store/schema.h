#pragma once

class Database;

// The library's two tables. The program only checks them; the library maker creates them.
namespace Schema {
void create(Database& db);
// Throws FeylumeError when the file is not an SQLite database or lacks a table or a column the
// program uses; the message names what is missing.
void verify(const Database& db);
} // namespace Schema
