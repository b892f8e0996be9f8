#pragma once

#include "report/FopJobPool.h"

#include <QProcessEnvironment>
#include <QString>

// What the exit status of a failed formatter job does not say by itself, in German for the box of
// the document: a call ended at its time limit, a Java runtime that is missing (its version check
// could not start), a program that the launcher did not find. Empty when there is nothing to add.
QString formatterFailureReason(const FopJobPool::Result& result, int timeLimitSeconds);

// The environment of the formatter's programs: ours, with the private folder where the launcher puts
// the Java runtime's crash reports (LOHNAUSWEIS_PRIVATE_DIR).
QProcessEnvironment formatterEnvironment();
