# What GDAL reads from a NITF file, one fact per line, for the NITF file tests:
#   images <count>
#   image <i> <columns> <rows> <bands> <checksum of each band, comma-separated; x: unreadable>
#   igeolo <i> <ICORDS> <IGEOLO>
#   gcp <i> <pixel> <line> <longitude> <latitude>      (corner ground control points)
#   geotransform <i> <six values>
#   tre <i> <tag> <text>                                 (TRE metadata domain)
#   des <j> <DESID> <DESVER> <DESSHL> <data length>
# The data of data extension segment j is written to <outdir>/des_<j>.bin;
# with a third argument "pixels", the pixels of image i to <outdir>/image_<i>.raw
# (8-bit samples interleaved by pixel, rows one after another).
# Usage: python3 gdal_nitf_summary.py FILE OUTDIR [pixels]
import base64
import sys

from osgeo import gdal

gdal.UseExceptions()
gdal.PushErrorHandler("CPLQuietErrorHandler")
path, outdir = sys.argv[1], sys.argv[2]
ds = gdal.Open(path)
subdatasets = [name for key, name in ds.GetMetadata("SUBDATASETS").items() if key.endswith("_NAME")]
datasets = [gdal.Open(name) for name in subdatasets] if subdatasets else ([ds] if ds.RasterCount else [])
print("images", len(datasets))


def checksum(band):
    try:
        return str(band.Checksum())
    except RuntimeError:  # GDAL cannot read the pixels
        return "x"


for i, image in enumerate(datasets):
    sums = ",".join(checksum(image.GetRasterBand(b + 1)) for b in range(image.RasterCount))
    print("image", i, image.RasterXSize, image.RasterYSize, image.RasterCount, sums or "-")
    md = image.GetMetadata()
    print("igeolo", i, md.get("NITF_ICORDS", "-") or "-", md.get("NITF_IGEOLO", "-") or "-")
    gt = image.GetGeoTransform(can_return_null=True)
    if gt is not None:
        print("geotransform", i, " ".join(repr(v) for v in gt))
    for gcp in image.GetGCPs():
        print("gcp", i, gcp.GCPPixel, gcp.GCPLine, gcp.GCPX, gcp.GCPY)
    if len(sys.argv) > 3 and sys.argv[3] == "pixels":
        w, h, n = image.RasterXSize, image.RasterYSize, image.RasterCount
        raw = image.ReadRaster(0, 0, w, h, buf_type=gdal.GDT_Byte, buf_pixel_space=n,
                               buf_line_space=w * n, buf_band_space=1)
        with open("%s/image_%d.raw" % (outdir, i), "wb") as out:
            out.write(raw)
    for tag, text in (image.GetMetadata("TRE") or {}).items():
        print("tre", i, tag, text)
des = ds.GetMetadata("xml:DES")
if des:
    import xml.etree.ElementTree as ET

    for j, segment in enumerate(ET.fromstring(des[0]).findall("des")):
        fields = {f.get("name"): f.get("value") for f in segment.findall("field")}
        data = base64.b64decode(fields.get("DESDATA", ""))
        with open("%s/des_%d.bin" % (outdir, j), "wb") as out:
            out.write(data)
        print("des", j, segment.get("name").replace(" ", "_") or "-", fields.get("DESVER"),
              fields.get("DESSHL"), len(data))
