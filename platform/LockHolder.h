#pragma once

#include <QString>
#include <sys/types.h>

// Who holds the advisory lock (flock) on the file open as `fd`: its process from /proc/locks and the
// user that process runs as; the file's owner where the kernel does not tell (another pid namespace).
// A German phrase such as "Benutzer 'anna', Prozess 4711"; empty when nothing is known.
QString lockHolderText(int fd);

// The login name of `uid`, or "UID <n>" when it has none.
QString userName(uid_t uid);
