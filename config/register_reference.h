#pragma once
// The register table as the manual's reference shows it, made from the table itself so that
// the manual names every field, register and range the setup dialog has.
#include <string>

#include "config/register_table.h"

// The text the setup dialog shows beside a field: a text box's row label, a check box's
// caption; the check boxes of tools 2 to 9, which have none, borrow tool 1's caption of their row.
std::string FieldCaption(const RegisterField& field);

// One HTML table per group of the setup dialog ("Motore, Timing", "Controller - Output",
// "Konfiguration Werkzeuge 1-9"), a row per field, id "feld-" and the field's key in the
// configuration file ("feld-01162"). A row holds the caption, the registers as the info line
// names them ("10...13", "5, Bit 0"), the range ("von 2 bis 125"; for a length in HPGL steps
// also its millimetres, "(0 bis 50000 mm)"; "aus / ein" for a bit), the description and the key. ASCII only (HtmlText).
std::string RegisterReferenceHtml();
