// The nine crossover filter types offered to the user, in combo-box order.
#include "dsp_blocks/filters/FilterTypeTable.h"

namespace {

constexpr FilterTypeEntry Entry(std::int32_t code, FilterDesignId highPass, FilterDesignId lowPass)
{
    return FilterTypeEntry{code, kFilterTypeNameIdBase + static_cast<std::uint32_t>(code),
                           &GetFilterDesign(highPass), &GetFilterDesign(lowPass)};
}

}  // namespace

constinit const std::array<FilterTypeEntry, kFilterTypeCount> FilterTypeTable{
    Entry(FilterTypeCode::kFlat, FilterDesignId::Bypass, FilterDesignId::Bypass),
    Entry(FilterTypeCode::kButterworth12, FilterDesignId::ButterworthHighPass2, FilterDesignId::ButterworthLowPass2),
    Entry(FilterTypeCode::kButterworth18, FilterDesignId::ButterworthHighPass3, FilterDesignId::ButterworthLowPass3),
    Entry(FilterTypeCode::kButterworth24, FilterDesignId::ButterworthHighPass4, FilterDesignId::ButterworthLowPass4),
    Entry(FilterTypeCode::kBessel12, FilterDesignId::BesselHighPass2, FilterDesignId::BesselLowPass2),
    Entry(FilterTypeCode::kBessel18, FilterDesignId::BesselHighPass3, FilterDesignId::BesselLowPass3),
    Entry(FilterTypeCode::kBessel24, FilterDesignId::BesselHighPass4, FilterDesignId::BesselLowPass4),
    Entry(FilterTypeCode::kLinkwitzRiley12, FilterDesignId::LinkwitzRileyHighPass2,
          FilterDesignId::LinkwitzRileyLowPass2),
    Entry(FilterTypeCode::kLinkwitzRiley24, FilterDesignId::LinkwitzRileyHighPass4,
          FilterDesignId::LinkwitzRileyLowPass4),
};

const FilterDesign& FindFilterTable(bool highPass, std::int32_t typeCode)
{
    for (const FilterTypeEntry& entry : FilterTypeTable) {
        if (entry.typeCode == typeCode) {
            return highPass ? *entry.highPass : *entry.lowPass;
        }
    }
    return GetFilterDesign(FilterDesignId::Bypass);
}
