// Reference responses made by tests/data/filters/make_reference.py, and a
// double-precision evaluation of a section to compare designed coefficients with them.
#pragma once

#include <complex>
#include <string>
#include <vector>

#include "dsp_blocks/filters/BiquadCoefficients.h"

namespace FilterReference {

// One line of a reference file: the text fields before the curve, then the curve (dB).
struct Curve {
    std::vector<std::string> fields;
    std::vector<double> db;
};

// Fails the calling test (ADD_FAILURE) and returns nothing when a file is missing or bad.
std::vector<double> LoadGrid();
// headFields: number of fields before the dB values.
std::vector<Curve> LoadCurves(const std::string& fileName, std::size_t headFields);
std::vector<std::vector<std::string>> LoadRows(const std::string& fileName);

double ParseDouble(const std::string& text);

// H(e^jw) of one section, evaluated in double precision.
std::complex<double> SectionResponse(const BiquadCoefficients& section, double frequency);
double SectionsDb(const std::vector<BiquadCoefficients>& sections, double frequency);
double ToDb(std::complex<double> h);

}  // namespace FilterReference
