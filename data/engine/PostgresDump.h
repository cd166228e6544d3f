#pragma once

#include <QString>

//! Backups of a server database through PostgreSQL's own pg_dump: one consistent state of the
//! database (pg_dump reads it in one snapshot while other sessions write), in pg_dump's custom
//! format, which pg_restore loads into an empty database.
class PostgresDump {
public:
    //! Dumps the database at `url` into the new file `path`; throws DbError naming what failed
    //! (no pg_dump installed, pg_dump's own message), leaving no file.
    static void write(const QString &url, const QString &path);
};
