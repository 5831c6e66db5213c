// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "hints/RootKeys.h"

#include <array>

namespace rootkeys {

namespace {

struct Group
{
    int last; // the highest number of the group; a group starts after the previous one
    char key;
};

constexpr std::array<Group, 26> kGroups{{
    {9, 'a'},   {12, 's'},  {24, 'd'},  {32, 'f'},  {37, 'g'},  {47, 'h'},  {56, 'j'},
    {59, 'k'},  {68, 'l'},  {74, 'm'},  {86, 'q'},  {91, 'w'},  {103, 'e'}, {112, 'r'},
    {120, 't'}, {129, 'y'}, {139, 'u'}, {149, 'i'}, {154, 'o'}, {160, 'p'}, {167, 'x'},
    {173, 'c'}, {179, 'v'}, {189, 'b'}, {200, 'n'}, {206, 'm'},
}};

} // namespace

QChar rootKey(int number)
{
    if (number < 1)
        return {};
    for (const Group &group : kGroups) {
        if (number <= group.last)
            return QChar(QLatin1Char(group.key));
    }
    return {};
}

} // namespace rootkeys
