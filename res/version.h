// The program's version: the version record takes both forms, the build names the release zip after the
// text. Change both lines together; the build stops when they disagree.
#pragma once

#define ZELVANTO_VERSION 2021, 7, 27, 1
#define ZELVANTO_VERSION_TEXT "2021.7.27.1"
