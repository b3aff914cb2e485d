// Reads the committed reference CSV files (numbers parsed locale-independently).
#include "tests/dsp_filters/ReferenceData.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <fstream>
#include <numbers>
#include <sstream>

namespace FilterReference {

namespace {

std::string PathOf(const std::string& fileName)
{
    return std::string(QUARRY_FILTER_DATA_DIR) + "/" + fileName;
}

std::vector<std::string> Split(const std::string& line)
{
    std::vector<std::string> fields;
    std::string field;
    std::istringstream stream(line);
    while (std::getline(stream, field, ',')) {
        fields.push_back(field);
    }
    return fields;
}

}  // namespace

double ParseDouble(const std::string& text)
{
    double value = std::nan("");
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec != std::errc() || result.ptr != text.data() + text.size()) {
        ADD_FAILURE() << "not a number: '" << text << "'";
        return std::nan("");
    }
    return value;
}

std::vector<std::vector<std::string>> LoadRows(const std::string& fileName)
{
    std::ifstream file(PathOf(fileName));
    if (!file) {
        ADD_FAILURE() << "cannot open " << PathOf(fileName);
        return {};
    }
    std::vector<std::vector<std::string>> rows;
    std::string line;
    while (std::getline(file, line)) {
        if (line.empty() || line[0] == '#') {
            continue;
        }
        rows.push_back(Split(line));
    }
    return rows;
}

std::vector<double> LoadGrid()
{
    std::vector<double> grid;
    for (const auto& row : LoadRows("grid.csv")) {
        grid.push_back(ParseDouble(row.at(0)));
    }
    return grid;
}

std::vector<Curve> LoadCurves(const std::string& fileName, std::size_t headFields)
{
    std::vector<Curve> curves;
    for (const auto& row : LoadRows(fileName)) {
        if (row.size() < headFields) {
            ADD_FAILURE() << "short line in " << fileName;
            continue;
        }
        Curve curve;
        curve.fields.assign(row.begin(), row.begin() + static_cast<std::ptrdiff_t>(headFields));
        for (std::size_t i = headFields; i < row.size(); ++i) {
            curve.db.push_back(ParseDouble(row[i]));
        }
        curves.push_back(std::move(curve));
    }
    return curves;
}

std::complex<double> SectionResponse(const BiquadCoefficients& s, double frequency)
{
    const double w = 2.0 * std::numbers::pi * frequency / 48000.0;
    const std::complex<double> z1 = std::polar(1.0, -w);
    const std::complex<double> z2 = std::polar(1.0, -2.0 * w);
    const std::complex<double> numerator = s.b0 * (1.0 + s.c1 * z1 + s.c2 * z2);
    const std::complex<double> denominator = 1.0 - s.a1 * z1 - s.a2 * z2;
    return numerator / denominator;
}

double ToDb(std::complex<double> h)
{
    return 20.0 * std::log10(std::abs(h));
}

double SectionsDb(const std::vector<BiquadCoefficients>& sections, double frequency)
{
    std::complex<double> h = 1.0;
    for (const BiquadCoefficients& s : sections) {
        h *= SectionResponse(s, frequency);
    }
    return ToDb(h);
}

}  // namespace FilterReference
