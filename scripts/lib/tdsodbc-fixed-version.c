/* FreeTDS's ODBC driver with the TDS protocol version fixed at 7.4, for unixODBC.
 *
 * Left to choose the version itself, FreeTDS logs in with 7.4 and, when the login time-out ends that
 * attempt, tries again with Sybase's 5.0; against a server that accepts the connection and never answers,
 * that second attempt never ends (its logout after the time-out waits, times out and logs out again), so
 * SQLDriverConnect never returns. With a fixed version the login time-out is the end of the login. A
 * connection string like "driver={SQL Server};server=host,port;..." (no DSN) makes FreeTDS read no
 * configuration file at all; only the string itself and the TDSVER environment variable set the version.
 *
 * So this library is registered as the driver: it needs FreeTDS's library (scripts/register-odbc.sh links it
 * against the absolute path), which makes every ODBC function the driver manager looks up here FreeTDS's
 * own, except the two connect functions below. They put TDS_Version=7.4 in front of the connection string.
 * A TDS_Version later in the string still wins (FreeTDS keeps the last one it reads), and so does TDSVER.
 * 7.4 is the version FreeTDS tries first anyway: SQL Server answers it with its own version, whatever its
 * age, so only Sybase servers lose the 5.0 attempt.
 *
 * No unixODBC headers are needed: the few types are spelled out as unixODBC defines them on Linux.
 */
#include <dlfcn.h>
#include <stdlib.h>
#include <string.h>

typedef short SQLRETURN;
typedef short SQLSMALLINT;
typedef unsigned short SQLUSMALLINT;
typedef unsigned char SQLCHAR;
typedef unsigned short SQLWCHAR; /* UTF-16, as unixODBC hands it to drivers */
typedef void* SQLHDBC;
typedef void* SQLHWND;

enum { kSqlNts = -3, kSqlError = -1, kMaxLength = 32767 };

static const char kVersionPair[] = "TDS_Version=7.4;";
enum { kVersionPairLength = sizeof kVersionPair - 1 };

typedef SQLRETURN (*DriverConnectA)(SQLHDBC, SQLHWND, SQLCHAR*, SQLSMALLINT, SQLCHAR*, SQLSMALLINT,
                                    SQLSMALLINT*, SQLUSMALLINT);
typedef SQLRETURN (*DriverConnectW)(SQLHDBC, SQLHWND, SQLWCHAR*, SQLSMALLINT, SQLWCHAR*, SQLSMALLINT,
                                    SQLSMALLINT*, SQLUSMALLINT);

static DriverConnectA freetds_connect_a;
static DriverConnectW freetds_connect_w;

/* Resolved once when the driver manager loads this library, before any connect can run. */
__attribute__((constructor)) static void FindFreeTdsConnect(void) {
  freetds_connect_a = (DriverConnectA)dlsym(RTLD_NEXT, "SQLDriverConnect");
  freetds_connect_w = (DriverConnectW)dlsym(RTLD_NEXT, "SQLDriverConnectW");
}

/* The number of characters of a connection string given with its length or as SQL_NTS. */
static size_t LengthA(const SQLCHAR* text, SQLSMALLINT length) {
  if (!text)
    return 0;
  return length == kSqlNts ? strlen((const char*)text) : (length > 0 ? (size_t)length : 0);
}

static size_t LengthW(const SQLWCHAR* text, SQLSMALLINT length) {
  size_t count = 0;
  if (!text)
    return 0;
  if (length != kSqlNts)
    return length > 0 ? (size_t)length : 0;
  while (text[count])
    ++count;
  return count;
}

SQLRETURN SQLDriverConnect(SQLHDBC connection, SQLHWND window, SQLCHAR* in, SQLSMALLINT in_length,
                           SQLCHAR* out, SQLSMALLINT out_max, SQLSMALLINT* out_length,
                           SQLUSMALLINT completion) {
  const size_t length = LengthA(in, in_length);
  SQLCHAR* text;
  SQLRETURN result;
  if (!freetds_connect_a)
    return kSqlError;
  /* A string too long to carry the pair goes to FreeTDS as it is. */
  if (length > kMaxLength - kVersionPairLength)
    return freetds_connect_a(connection, window, in, in_length, out, out_max, out_length, completion);
  text = malloc(kVersionPairLength + length + 1);
  if (!text)
    return kSqlError;
  memcpy(text, kVersionPair, kVersionPairLength);
  if (length)
    memcpy(text + kVersionPairLength, in, length);
  text[kVersionPairLength + length] = 0;
  result = freetds_connect_a(connection, window, text, (SQLSMALLINT)(kVersionPairLength + length), out,
                             out_max, out_length, completion);
  free(text);
  return result;
}

SQLRETURN SQLDriverConnectW(SQLHDBC connection, SQLHWND window, SQLWCHAR* in, SQLSMALLINT in_length,
                            SQLWCHAR* out, SQLSMALLINT out_max, SQLSMALLINT* out_length,
                            SQLUSMALLINT completion) {
  const size_t length = LengthW(in, in_length);
  SQLWCHAR* text;
  SQLRETURN result;
  size_t i;
  if (!freetds_connect_w)
    return kSqlError;
  if (length > kMaxLength - kVersionPairLength)
    return freetds_connect_w(connection, window, in, in_length, out, out_max, out_length, completion);
  text = malloc((kVersionPairLength + length + 1) * sizeof *text);
  if (!text)
    return kSqlError;
  for (i = 0; i < kVersionPairLength; ++i)
    text[i] = (SQLWCHAR)kVersionPair[i];
  if (length)
    memcpy(text + kVersionPairLength, in, length * sizeof *text);
  text[kVersionPairLength + length] = 0;
  result = freetds_connect_w(connection, window, text, (SQLSMALLINT)(kVersionPairLength + length), out,
                             out_max, out_length, completion);
  free(text);
  return result;
}
