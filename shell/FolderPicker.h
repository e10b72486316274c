#pragma once

#include <optional>

#include <QString>

class QWidget;

namespace caldra {

struct Services;

// frmbrowse run modally over owner: the folder confirmed with "&Open", ending
// in a separator, or nothing when the picker was cancelled or closed.
std::optional<QString> browseForFolder(const Services &services, QWidget *owner);

} // namespace caldra
