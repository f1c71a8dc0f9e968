#!/usr/bin/python3
# Writes gdal_rpc00b.txt (the RPC00B text that GDAL's NITF writer produces
# for a set of RPC metadata) and gdal_rpc00b_values.txt (the values GDAL
# reads back from that file), the reference for the RPC00B tests.
# Run with Debian's /usr/bin/python3 (python3-gdal) in this folder.
import os
import random
import tempfile

from osgeo import gdal

random.seed(5)


def coeffs():
    vals = []
    for _ in range(20):
        m = random.uniform(1, 9.999999) * random.choice([-1, 1])
        vals.append('%.6e' % (m * 10 ** random.randint(-9, 9)))
    vals[0] = '%.6e' % random.uniform(-0.01, 0.01)
    return ' '.join(vals)


md = {
    'ERR_BIAS': '12.34', 'ERR_RAND': '0.57', 'LINE_OFF': '15834', 'SAMP_OFF': '13464',
    'LAT_OFF': '39.1234', 'LONG_OFF': '-105.5678', 'HEIGHT_OFF': '1850',
    'LINE_SCALE': '15834', 'SAMP_SCALE': '13464', 'LAT_SCALE': '0.1283',
    'LONG_SCALE': '0.1719', 'HEIGHT_SCALE': '501',
    'LINE_NUM_COEFF': coeffs(), 'LINE_DEN_COEFF': '1 ' + coeffs().split(' ', 1)[1],
    'SAMP_NUM_COEFF': coeffs(), 'SAMP_DEN_COEFF': '1 ' + coeffs().split(' ', 1)[1],
}
mem = gdal.GetDriverByName('MEM').Create('', 16, 16, 1)
mem.SetMetadata(md, 'RPC')
path = os.path.join(tempfile.mkdtemp(), 'rpc.ntf')
gdal.GetDriverByName('NITF').CreateCopy(path, mem)
ds = gdal.Open(path)
open('gdal_rpc00b.txt', 'w').write(ds.GetMetadata('TRE')['RPC00B'])
back = ds.GetMetadata('RPC')
keys = ['ERR_BIAS', 'ERR_RAND', 'LINE_OFF', 'SAMP_OFF', 'LAT_OFF', 'LONG_OFF', 'HEIGHT_OFF',
        'LINE_SCALE', 'SAMP_SCALE', 'LAT_SCALE', 'LONG_SCALE', 'HEIGHT_SCALE',
        'LINE_NUM_COEFF', 'LINE_DEN_COEFF', 'SAMP_NUM_COEFF', 'SAMP_DEN_COEFF']
with open('gdal_rpc00b_values.txt', 'w') as f:
    for k in keys:
        f.write(k + ' ' + back[k].strip() + '\n')
