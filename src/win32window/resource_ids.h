/* SPDX-FileCopyrightText: 2026 The scanforms developers */
/* SPDX-License-Identifier: MIT */

/* The resources the Windows program and its window tests carry, by number:
 * read by the resource compiler and by the window alike. */
#pragma once

#define SCANFORMS_ICON 1
#define SCANFORMS_SHEET_MOTIF 2
