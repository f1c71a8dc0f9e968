"""NITF image segments written by GDAL, with the pixels GDAL reads back.

Usage: /usr/bin/python3 gdal_image_fixtures.py OUTDIR
       /usr/bin/python3 gdal_image_fixtures.py --dump DATASET OUT.raw

For every case it writes OUTDIR/NAME.ntf (GDAL's NITF driver) and
OUTDIR/NAME.raw: the pixels GDAL reads from that file, interleaved by pixel
in band order, one byte per sample (uint16 little-endian for 16-bit data).
OUTDIR/manifest.txt has one line per case:
    NAME COLUMNS ROWS BANDS BYTES_PER_SAMPLE ABPP

--dump writes the pixels GDAL reads from DATASET (a file or a NITF_IM:i:path
subdataset) to OUT.raw the same way and prints "COLUMNS ROWS BANDS
BYTES_PER_SAMPLE", or "unreadable" when GDAL cannot read them.
"""
import os
import sys

import numpy as np
from osgeo import gdal

gdal.UseExceptions()


def smooth(rows, cols, bands, seed):
    """A picture JPEG codes well: gradients and soft waves, distinct per band."""
    y, x = np.mgrid[0:rows, 0:cols].astype(np.float64)
    planes = []
    for b in range(bands):
        v = 128 + 60 * np.sin(x / (17.0 + 5 * b) + seed) + 50 * np.cos(y / (23.0 + 3 * b) - b)
        planes.append(np.clip(v, 0, 255).astype(np.uint8))
    return np.stack(planes)


def noise(rows, cols, bands, dtype, top, seed):
    return np.random.default_rng(seed).integers(0, top + 1, size=(bands, rows, cols)).astype(dtype)


def write_case(outdir, manifest, name, data, options, abpp):
    bands, rows, cols = data.shape
    gdal_type = gdal.GDT_UInt16 if data.dtype == np.uint16 else gdal.GDT_Byte
    source = gdal.GetDriverByName("MEM").Create("", cols, rows, bands, gdal_type)
    for b in range(bands):
        band = source.GetRasterBand(b + 1)
        band.WriteArray(data[b])
        if bands == 3:
            band.SetColorInterpretation(
                [gdal.GCI_RedBand, gdal.GCI_GreenBand, gdal.GCI_BlueBand][b])
    path = os.path.join(outdir, name + ".ntf")
    gdal.GetDriverByName("NITF").CreateCopy(path, source, options=options)
    source = None
    dump(path, os.path.join(outdir, name + ".raw"))
    manifest.write("%s %d %d %d %d %d\n" % (name, cols, rows, bands, data.dtype.itemsize, abpp))


def dump(dataset, out):
    """GDAL's pixels of `dataset` to `out`; returns (columns, rows, bands, bytes)."""
    ds = gdal.Open(dataset)
    read = ds.ReadAsArray()
    if read.ndim == 2:
        read = read[np.newaxis, :, :]
    irep = (ds.GetMetadataItem("NITF_IREP") or "").strip()
    table = ds.GetRasterBand(1).GetColorTable() if ds.RasterCount == 1 else None
    if irep == "RGB/LUT" and table is not None:
        # One band through its colour table: the red, green and blue entries.
        entries = np.array([table.GetColorEntry(i)[:3] for i in range(table.GetCount())]
                           + [(0, 0, 0)] * (256 - table.GetCount()), dtype=np.uint8)
        read = np.transpose(entries[read[0]], (2, 0, 1))
    pixels = np.ascontiguousarray(np.transpose(read, (1, 2, 0)))
    if pixels.dtype == np.uint16:
        pixels = pixels.astype("<u2")
    pixels.tofile(out)
    return read.shape[2], read.shape[1], read.shape[0], pixels.dtype.itemsize


def main():
    if sys.argv[1] == "--dump":
        try:
            print("%d %d %d %d" % dump(sys.argv[2], sys.argv[3]))
        except Exception:  # GDAL cannot read the pixels
            print("unreadable")
        return
    outdir = sys.argv[1]
    os.makedirs(outdir, exist_ok=True)
    with open(os.path.join(outdir, "manifest.txt"), "w") as manifest:
        write_case(outdir, manifest, "mono8", noise(200, 300, 1, np.uint8, 255, 1), [], 8)
        write_case(outdir, manifest, "mono8_blocked", noise(200, 300, 1, np.uint8, 255, 2),
                   ["BLOCKXSIZE=128", "BLOCKYSIZE=64"], 8)
        write_case(outdir, manifest, "rgb8_700x1000", noise(1000, 700, 3, np.uint8, 255, 3),
                   ["BLOCKSIZE=512"], 8)
        write_case(outdir, manifest, "rgb16_abpp12", noise(90, 130, 3, np.uint16, 4095, 4),
                   ["BLOCKSIZE=64", "ABPP=12", "IREP=RGB"], 12)
        write_case(outdir, manifest, "mono16", noise(100, 160, 1, np.uint16, 65535, 5), [], 16)
        write_case(outdir, manifest, "rgb_jpeg", smooth(600, 700, 3, 0.3),
                   ["IC=C3", "BLOCKSIZE=256"], 8)
        write_case(outdir, manifest, "mono_jpeg", smooth(300, 500, 1, 1.1),
                   ["IC=C3", "BLOCKXSIZE=128", "BLOCKYSIZE=128"], 8)
        write_case(outdir, manifest, "rgb_jpeg_one_block", smooth(120, 200, 3, 2.0), ["IC=C3"], 8)


if __name__ == "__main__":
    main()
