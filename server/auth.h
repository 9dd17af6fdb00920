#pragma once

#include <QString>
#include <QStringList>

namespace zhpserver {

class Storage;

// Users, their bearer tokens, their product editing rights and their daily
// export counts, kept in the server's database. A token is shown once, when
// it is issued; the database keeps only its SHA-256 hash, and every request
// looks its token up again, so a token issued or revoked by another process
// on the same database counts at once.
class Auth
{
public:
    // Product code of an editor grant that covers every product tree.
    static constexpr const char *AllProducts = "*";

    explicit Auth(Storage &storage) : m_storage(storage) {}

    // User ids: 1 to 64 characters, none of them white space or a control character.
    static bool isValidUserId(const QString &userId);
    // The SHA-256 of a token as 64 lower-case hexadecimal digits.
    static QString hashOf(const QString &token);

    // Creates `userId` when needed, grants it the editing of the product
    // trees in `editorOf` (product codes or AllProducts) and stores a new
    // token. A non-empty `label` replaces the user's earlier tokens of the
    // same label (the terminal's embedded server issues one per start).
    bool issueToken(const QString &userId, const QStringList &editorOf, const QString &label, QString *token, QString *error);
    // Ends every token of `userId`; the number ended, or -1 with `error` set.
    int revokeTokens(const QString &userId, QString *error);
    bool userExists(const QString &userId, QString *error);

    enum class Lookup { Found, Unknown, Failed };
    // The user a token belongs to.
    Lookup userOfToken(const QString &token, QString *userId);

    // Whether `userId` may change the tree of `productCode`; false also when the database fails.
    bool isEditor(const QString &userId, const QString &productCode);

    enum class Reserve { Reserved, OverLimit, Failed };
    // Adds `count` to what `userId` exported today, unless the total would
    // pass `limit`; `total` is the count of the day afterwards (or the
    // unchanged count when refused).
    Reserve reserveExport(const QString &userId, int count, int limit, int *total);
    // What `userId` exported today; -1 when the database fails.
    int exportedToday(const QString &userId);

    // The day the export counts are kept for, as yyyyMMdd in the server's local time.
    static int today();

private:
    Storage &m_storage;
};

} // namespace zhpserver
