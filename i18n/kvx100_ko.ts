<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ko_KR">
<context>
    <name>ConfigBackup</name>
    <message>
        <source>kcf Files(*.kcf);;All Files(*.*)</source>
        <translation>kcf 구성 파일(*.kcf);;모든 파일(*.*)</translation>
    </message>
    <message>
        <source>Backup is timeout. Check Lumeno-KVX and Try again.</source>
        <translation>백업 시간이 초과되었습니다. Lumeno-KVX를 확인하고 다시 시도하십시오.</translation>
    </message>
    <message>
        <source>The file cannot be written: %1</source>
        <translation>파일에 쓸 수 없습니다: %1</translation>
    </message>
    <message>
        <source>The %1 settings of the device do not fit into a configuration file.</source>
        <translation>장치의 %1 설정이 구성 파일에 다 들어가지 않습니다.</translation>
    </message>
    <message>
        <source>The settings read so far are in %1.</source>
        <translation>지금까지 읽은 설정은 %1에 있습니다.</translation>
    </message>
</context>
<context>
    <name>ConfigRestore</name>
    <message>
        <source>You can&apos;t restore while bluetooth serial connected.</source>
        <translation>블루투스 시리얼이 연결되어 있는 동안에는 복원할 수 없습니다.</translation>
    </message>
    <message>
        <source>Restore is timeout. Check Lumeno-KVX and Try again.</source>
        <translation>복원 시간이 초과되었습니다. Lumeno-KVX를 확인하고 다시 시도하십시오.</translation>
    </message>
    <message>
        <source>Restore Failed!<byte value="xd"/>
To set Lumeno-KVX to RS232 mode, user need to change the Consolue switch to data mode.<byte value="xd"/>
After changing the data mode, please restart Lumeno-KVX.</source>
        <translation>복원에 실패했습니다!<byte value="xd"/>
Lumeno-KVX를 RS232 모드로 설정하려면 콘솔 스위치를 데이터 모드로 바꿔야 합니다.<byte value="xd"/>
데이터 모드로 바꾼 다음 Lumeno-KVX를 다시 시작하십시오.</translation>
    </message>
    <message>
        <source>The file cannot be read: %1</source>
        <translation>파일을 읽을 수 없습니다: %1</translation>
    </message>
    <message>
        <source>%1 holds more sections or keys than a configuration file can (%2 sections, %3 keys a section). Nothing was sent.</source>
        <translation>%1에 구성 파일이 담을 수 있는 것보다 많은 섹션이나 키가 있습니다(섹션 %2개, 섹션당 키 %3개). 아무것도 보내지 않았습니다.</translation>
    </message>
    <message>
        <source>Line %1 of %2 (key %3 in section %4)</source>
        <translation>%2의 %1번째 줄(%4 섹션의 %3 키)</translation>
    </message>
    <message>
        <source>%1 holds a value of %2 bytes, more than the %3 a command line takes. Nothing was sent.</source>
        <translation>%1에 %2바이트 값이 있어 명령 줄 하나에 들어가는 %3바이트를 넘습니다. 아무것도 보내지 않았습니다.</translation>
    </message>
    <message>
        <source>%1 holds &quot;;&quot; or a control character, which cannot be sent. Nothing was sent.</source>
        <translation>%1에 보낼 수 없는 &quot;;&quot; 또는 제어 문자가 있습니다. 아무것도 보내지 않았습니다.</translation>
    </message>
    <message>
        <source>%1 lists %2 routes, more than the %3 a restore takes. Nothing was sent.</source>
        <translation>%1에 경로가 %2개 있어 복원할 수 있는 %3개를 넘습니다. 아무것도 보내지 않았습니다.</translation>
    </message>
</context>
<context>
    <name>DeviceLogFetch</name>
    <message>
        <source>Log is timeout. Check Lumeno-KVX and Try again.</source>
        <translation>로그 시간이 초과되었습니다. Lumeno-KVX를 확인하고 다시 시도하십시오.</translation>
    </message>
    <message>
        <source>The file cannot be written: %1</source>
        <translation>파일에 쓸 수 없습니다: %1</translation>
    </message>
</context>
<context>
    <name>ProgressDialog</name>
    <message>
        <source>Cancel</source>
        <translation>취소</translation>
    </message>
    <message>
        <source>Step %1 of %2: %3</source>
        <translation>%2단계 중 %1단계: %3</translation>
    </message>
</context>
<context>
    <name>kvx::AboutBox</name>
    <message>
        <source>Lumeno-KVX100 Manager Info</source>
        <translation>Lumeno-KVX100 Manager 정보</translation>
    </message>
    <message>
        <source>Lumeno-KVX100 Manager ver%1</source>
        <translation>Lumeno-KVX100 Manager 버전 %1</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>확인</translation>
    </message>
</context>
<context>
    <name>kvx::AddDeviceWindow</name>
    <message>
        <source>BDADDR/Name</source>
        <translation>BDADDR/이름</translation>
    </message>
    <message>
        <source>BDADDR</source>
        <translation>BDADDR</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>이름</translation>
    </message>
    <message>
        <source>Add Device</source>
        <translation>장치 추가</translation>
    </message>
    <message>
        <source>PORT Number</source>
        <translation>포트 번호</translation>
    </message>
    <message>
        <source>ADD</source>
        <translation>추가</translation>
    </message>
    <message>
        <source>Fill the Name.</source>
        <translation>이름을 입력하십시오.</translation>
    </message>
    <message>
        <source>Fill the Bdaddr completely.</source>
        <translation>BDADDR 전체를 입력하십시오.</translation>
    </message>
    <message>
        <source>Fill the Port Number.</source>
        <translation>포트 번호를 입력하십시오.</translation>
    </message>
    <message>
        <source>Same Name is exist. Try again.</source>
        <translation>같은 이름이 이미 있습니다. 다시 시도하십시오.</translation>
    </message>
    <message>
        <source>Same BDADDR is exist. Try again.</source>
        <translation>같은 BDADDR 값이 이미 있습니다. 다시 시도하십시오.</translation>
    </message>
    <message>
        <source>Same Port Number is exist. Try again.</source>
        <translation>같은 포트 번호가 이미 있습니다. 다시 시도하십시오.</translation>
    </message>
    <message>
        <source>Add Device is timeout. Check Lumeno-KVX and Try again.</source>
        <translation>장치 추가 시간이 초과되었습니다. Lumeno-KVX를 확인하고 다시 시도하십시오.</translation>
    </message>
    <message>
        <source>Add Device Fail. Try again.</source>
        <translation>장치 추가에 실패했습니다. 다시 시도하십시오.</translation>
    </message>
</context>
<context>
    <name>kvx::AddServerWindow</name>
    <message>
        <source>BDAddr/Name</source>
        <translation>BDAddr/이름</translation>
    </message>
    <message>
        <source>BDAddr</source>
        <translation>BDAddr</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>이름</translation>
    </message>
    <message>
        <source>Add Server</source>
        <translation>서버 추가</translation>
    </message>
    <message>
        <source>Server IP Address</source>
        <translation>서버 IP 주소</translation>
    </message>
    <message>
        <source>Server Port Number</source>
        <translation>서버 포트 번호</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>추가</translation>
    </message>
    <message>
        <source>Fill the Server IP Address and Server Port Number.</source>
        <translation>서버 IP 주소와 서버 포트 번호를 입력하십시오.</translation>
    </message>
    <message>
        <source>Fill the Server IP Address.</source>
        <translation>서버 IP 주소를 입력하십시오.</translation>
    </message>
    <message>
        <source>Fill the Server Port Number.</source>
        <translation>서버 포트 번호를 입력하십시오.</translation>
    </message>
    <message>
        <source>Fill the Name.</source>
        <translation>이름을 입력하십시오.</translation>
    </message>
    <message>
        <source>Fill the Bdaddr completely.</source>
        <translation>BDADDR 전체를 입력하십시오.</translation>
    </message>
    <message>
        <source>Same Name is exist. Try again.</source>
        <translation>같은 이름이 이미 있습니다. 다시 시도하십시오.</translation>
    </message>
    <message>
        <source>Same BDADDR is exist. Try again.</source>
        <translation>같은 BDADDR 값이 이미 있습니다. 다시 시도하십시오.</translation>
    </message>
    <message>
        <source>Same Server Port Number is exist. Try again.</source>
        <translation>같은 서버 포트 번호가 이미 있습니다. 다시 시도하십시오.</translation>
    </message>
    <message>
        <source>Same Port Number is exist. Try again.</source>
        <translation>같은 포트 번호가 이미 있습니다. 다시 시도하십시오.</translation>
    </message>
    <message>
        <source>Add Server is timeout. Check Lumeno-KVX and Try again.</source>
        <translation>서버 추가 시간이 초과되었습니다. Lumeno-KVX를 확인하고 다시 시도하십시오.</translation>
    </message>
    <message>
        <source>Add Server Fail. Try again.</source>
        <translation>서버 추가에 실패했습니다. 다시 시도하십시오.</translation>
    </message>
</context>
<context>
    <name>kvx::BluetoothPage</name>
    <message>
        <source>Pairable</source>
        <translation>페어링 허용</translation>
    </message>
    <message>
        <source>Connectable</source>
        <translation>연결 허용</translation>
    </message>
    <message>
        <source>Discoverable</source>
        <translation>검색 허용</translation>
    </message>
    <message>
        <source>low</source>
        <translation>낮음</translation>
    </message>
    <message>
        <source>high</source>
        <translation>높음</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>이름</translation>
    </message>
    <message>
        <source>MaxDT</source>
        <translation>MaxDT</translation>
    </message>
    <message>
        <source>LinkTimeout</source>
        <translation>링크 타임아웃</translation>
    </message>
    <message>
        <source>sec</source>
        <translation>초</translation>
    </message>
    <message>
        <source>Security</source>
        <translation>보안</translation>
    </message>
    <message>
        <source>PIN Code</source>
        <translation>PIN 코드</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>적용</translation>
    </message>
    <message>
        <source>Refresh</source>
        <translation>새로 고침</translation>
    </message>
    <message>
        <source>Local Devices</source>
        <translation>로컬 장치</translation>
    </message>
    <message>
        <source>idx</source>
        <translation>idx</translation>
    </message>
    <message>
        <source>         BDAddr</source>
        <translation>         BDAddr</translation>
    </message>
    <message>
        <source>     Tx</source>
        <translation>     Tx</translation>
    </message>
    <message>
        <source>     Rx</source>
        <translation>     Rx</translation>
    </message>
    <message>
        <source> Tx_Err</source>
        <translation> Tx_Err</translation>
    </message>
    <message>
        <source> Rx_Err</source>
        <translation> Rx_Err</translation>
    </message>
    <message>
        <source>Get Bluetooth Information is timeout. Check Lumeno-KVX and Try again.</source>
        <translation>블루투스 정보 조회 시간이 초과되었습니다. Lumeno-KVX를 확인하고 다시 시도하십시오.</translation>
    </message>
    <message>
        <source>Get BTName is Failed. Try again.</source>
        <translation>블루투스 이름 조회에 실패했습니다. 다시 시도하십시오.</translation>
    </message>
    <message>
        <source>Get Maxdt is timeout. Check Lumeno-KVX and Try again.</source>
        <translation>MaxDT 조회 시간이 초과되었습니다. Lumeno-KVX를 확인하고 다시 시도하십시오.</translation>
    </message>
    <message>
        <source>Get Maxdt is Failed. Try again.</source>
        <translation>MaxDT 조회에 실패했습니다. 다시 시도하십시오.</translation>
    </message>
    <message>
        <source>Get LinkTimeout is timeout. Check Lumeno-KVX and Try again.</source>
        <translation>링크 타임아웃 조회 시간이 초과되었습니다. Lumeno-KVX를 확인하고 다시 시도하십시오.</translation>
    </message>
    <message>
        <source>Get LinkTimeout is Failed. Try again.</source>
        <translation>링크 타임아웃 조회에 실패했습니다. 다시 시도하십시오.</translation>
    </message>
    <message>
        <source>Get Scan is timeout. Check Lumeno-KVX and Try again.</source>
        <translation>스캔 모드 조회 시간이 초과되었습니다. Lumeno-KVX를 확인하고 다시 시도하십시오.</translation>
    </message>
    <message>
        <source>Get Scan is Failed. Try again.</source>
        <translation>스캔 모드 조회에 실패했습니다. 다시 시도하십시오.</translation>
    </message>
    <message>
        <source>Get Security is timeout. Check Lumeno-KVX and Try again.</source>
        <translation>보안 수준 조회 시간이 초과되었습니다. Lumeno-KVX를 확인하고 다시 시도하십시오.</translation>
    </message>
    <message>
        <source>Get Security is Failed. Try again.</source>
        <translation>보안 수준 조회에 실패했습니다. 다시 시도하십시오.</translation>
    </message>
    <message>
        <source>Get Pairable is timeout. Check Lumeno-KVX and Try again.</source>
        <translation>페어링 허용 조회 시간이 초과되었습니다. Lumeno-KVX를 확인하고 다시 시도하십시오.</translation>
    </message>
    <message>
        <source>Get Pairable is Failed. Try again.</source>
        <translation>페어링 허용 조회에 실패했습니다. 다시 시도하십시오.</translation>
    </message>
    <message>
        <source>Get Stat is timeout. Check Lumeno-KVX and Try again.</source>
        <translation>로컬 장치 상태 조회 시간이 초과되었습니다. Lumeno-KVX를 확인하고 다시 시도하십시오.</translation>
    </message>
    <message>
        <source>Stat is Failed. Try again.</source>
        <translation>로컬 장치 상태 조회에 실패했습니다. 다시 시도하십시오.</translation>
    </message>
    <message>
        <source>Get Local Devices is imperfect. Try again.</source>
        <translation>로컬 장치 목록을 완전히 받지 못했습니다. 다시 시도하십시오.</translation>
    </message>
    <message>
        <source>Fill the Maxdt and Lumeno-KVX Name.</source>
        <translation>MaxDT와 Lumeno-KVX 이름을 입력하십시오.</translation>
    </message>
    <message>
        <source>Fill the Maxdt.</source>
        <translation>MaxDT를 입력하십시오.</translation>
    </message>
    <message>
        <source>Fill the Lumeno-KVX Name.</source>
        <translation>Lumeno-KVX 이름을 입력하십시오.</translation>
    </message>
    <message>
        <source>Fill the LinkTimeout.</source>
        <translation>링크 타임아웃을 입력하십시오.</translation>
    </message>
    <message>
        <source>Set Bluetooth Information is timeout. Check Lumeno-KVX and Try again.</source>
        <translation>블루투스 정보 설정 시간이 초과되었습니다. Lumeno-KVX를 확인하고 다시 시도하십시오.</translation>
    </message>
    <message>
        <source>BTName Setup Fail. Try again.</source>
        <translation>블루투스 이름 설정에 실패했습니다. 다시 시도하십시오.</translation>
    </message>
    <message>
        <source>Set Maxdt is timeout. Check Lumeno-KVX and Try again.</source>
        <translation>MaxDT 설정 시간이 초과되었습니다. Lumeno-KVX를 확인하고 다시 시도하십시오.</translation>
    </message>
    <message>
        <source>Maxdt Setup Fail. Try again.</source>
        <translation>MaxDT 설정에 실패했습니다. 다시 시도하십시오.</translation>
    </message>
    <message>
        <source>Set LinkTimeout is timeout. Check Lumeno-KVX and Try again.</source>
        <translation>링크 타임아웃 설정 시간이 초과되었습니다. Lumeno-KVX를 확인하고 다시 시도하십시오.</translation>
    </message>
    <message>
        <source>LinkTimeout Setup Fail. Try again.</source>
        <translation>링크 타임아웃 설정에 실패했습니다. 다시 시도하십시오.</translation>
    </message>
    <message>
        <source>Set Security is timeout. Check Lumeno-KVX and Try again.</source>
        <translation>보안 수준 설정 시간이 초과되었습니다. Lumeno-KVX를 확인하고 다시 시도하십시오.</translation>
    </message>
    <message>
        <source>Security Setup Fail. Try again.</source>
        <translation>보안 수준 설정에 실패했습니다. 다시 시도하십시오.</translation>
    </message>
    <message>
        <source>Set Pin Code is timeout. Check Lumeno-KVX and Try again.</source>
        <translation>PIN 코드 설정 시간이 초과되었습니다. Lumeno-KVX를 확인하고 다시 시도하십시오.</translation>
    </message>
    <message>
        <source>Pin Code Setup Fail. Try again.</source>
        <translation>PIN 코드 설정에 실패했습니다. 다시 시도하십시오.</translation>
    </message>
    <message>
        <source>Set Pairable is timeout. Check Lumeno-KVX and Try again.</source>
        <translation>페어링 허용 설정 시간이 초과되었습니다. Lumeno-KVX를 확인하고 다시 시도하십시오.</translation>
    </message>
    <message>
        <source>Pairable Setup Fail. Try again.</source>
        <translation>페어링 허용 설정에 실패했습니다. 다시 시도하십시오.</translation>
    </message>
    <message>
        <source>Discoverable and Connectable Setup Fail. Try again.</source>
        <translation>검색 허용 및 연결 허용 설정에 실패했습니다. 다시 시도하십시오.</translation>
    </message>
    <message>
        <source>Discoverable Setup Fail. Try again.</source>
        <translation>검색 허용 설정에 실패했습니다. 다시 시도하십시오.</translation>
    </message>
    <message>
        <source>Connectable Setup Fail. Try again.</source>
        <translation>연결 허용 설정에 실패했습니다. 다시 시도하십시오.</translation>
    </message>
    <message>
        <source>Noscan Setup Fail. Try again.</source>
        <translation>스캔 끄기 설정에 실패했습니다. 다시 시도하십시오.</translation>
    </message>
    <message>
        <source>Set Scan is timeout. Check Lumeno-KVX and Try again.</source>
        <translation>스캔 모드 설정 시간이 초과되었습니다. Lumeno-KVX를 확인하고 다시 시도하십시오.</translation>
    </message>
</context>
<context>
    <name>kvx::ClientModeWindow</name>
    <message>
        <source>re-connect automatically if link is lost</source>
        <translation>링크가 끊어지면 자동으로 다시 연결</translation>
    </message>
    <message>
        <source>       BDADDR/Name</source>
        <translation>       BDADDR/이름</translation>
    </message>
    <message>
        <source>                IP:Port </source>
        <translation>                IP:포트 </translation>
    </message>
    <message>
        <source>Client Mode</source>
        <translation>클라이언트 모드</translation>
    </message>
    <message>
        <source>HOST Information</source>
        <translation>호스트 정보</translation>
    </message>
    <message>
        <source>IP Address</source>
        <translation>IP 주소</translation>
    </message>
    <message>
        <source>Port</source>
        <translation>포트</translation>
    </message>
    <message>
        <source>Try to connect to server every</source>
        <translation>서버 연결 시도 간격</translation>
    </message>
    <message>
        <source>ms</source>
        <translation>ms</translation>
    </message>
    <message>
        <source>Server Table</source>
        <translation>서버 테이블</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>추가</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>삭제</translation>
    </message>
    <message>
        <source>Modify</source>
        <translation>수정</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>적용</translation>
    </message>
    <message>
        <source>Refresh</source>
        <translation>새로 고침</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>취소</translation>
    </message>
    <message>
        <source>Get Connection interval time is Failed. Try again.</source>
        <translation>연결 시도 간격 조회에 실패했습니다. 다시 시도하십시오.</translation>
    </message>
    <message>
        <source>Get re-Connect status is timeout. Check Lumeno-KVX and Try again.</source>
        <translation>자동 재연결 상태 조회 시간이 초과되었습니다. Lumeno-KVX를 확인하고 다시 시도하십시오.</translation>
    </message>
    <message>
        <source>Get re-Connect status is Failed. Try again.</source>
        <translation>자동 재연결 상태 조회에 실패했습니다. 다시 시도하십시오.</translation>
    </message>
    <message>
        <source>Get Server host address is Failed. Try again.</source>
        <translation>서버 호스트 주소 조회에 실패했습니다. 다시 시도하십시오.</translation>
    </message>
    <message>
        <source>Get Server Devices is imperfect. Try again.</source>
        <translation>서버 목록을 완전히 받지 못했습니다. 다시 시도하십시오.</translation>
    </message>
    <message>
        <source>Fill the Connection interval time.</source>
        <translation>연결 시도 간격을 입력하십시오.</translation>
    </message>
    <message>
        <source>Set Connection interval time is timeout. Check Lumeno-KVX and Try again.</source>
        <translation>연결 시도 간격 설정 시간이 초과되었습니다. Lumeno-KVX를 확인하고 다시 시도하십시오.</translation>
    </message>
    <message>
        <source>Connection interval time Setup Fail. Try again.</source>
        <translation>연결 시도 간격 설정에 실패했습니다. 다시 시도하십시오.</translation>
    </message>
    <message>
        <source>Set re-Connect status is timeout. Check Lumeno-KVX and Try again.</source>
        <translation>자동 재연결 설정 시간이 초과되었습니다. Lumeno-KVX를 확인하고 다시 시도하십시오.</translation>
    </message>
    <message>
        <source>re-Connect status Setup Fail. Try again.</source>
        <translation>자동 재연결 설정에 실패했습니다. 다시 시도하십시오.</translation>
    </message>
    <message>
        <source>Deleting Server is timeout. Check Lumeno-KVX and Try again.</source>
        <translation>서버 삭제 시간이 초과되었습니다. Lumeno-KVX를 확인하고 다시 시도하십시오.</translation>
    </message>
    <message>
        <source>Server Deleting is Failed. Try again.</source>
        <translation>서버 삭제에 실패했습니다. 다시 시도하십시오.</translation>
    </message>
    <message>
        <source>Connection interval time (ms)</source>
        <translation>연결 시도 간격 (ms)</translation>
    </message>
</context>
<context>
    <name>kvx::ClientSettingWindow</name>
    <message>
        <source>Client Setting</source>
        <translation>클라이언트 설정</translation>
    </message>
    <message>
        <source>HOST IP Address</source>
        <translation>호스트 IP 주소</translation>
    </message>
    <message>
        <source>HOST Port Number</source>
        <translation>호스트 포트 번호</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>확인</translation>
    </message>
    <message>
        <source>Input IP Address and Port Number.</source>
        <translation>IP 주소와 포트 번호를 입력하십시오.</translation>
    </message>
    <message>
        <source>Get Server Devices is imperfect. Try again.</source>
        <translation>서버 목록을 완전히 받지 못했습니다. 다시 시도하십시오.</translation>
    </message>
</context>
<context>
    <name>kvx::ConnectionsPage</name>
    <message>
        <source>idx</source>
        <translation>번호</translation>
    </message>
    <message>
        <source>dev</source>
        <translation>장치</translation>
    </message>
    <message>
        <source> Port</source>
        <translation> 포트</translation>
    </message>
    <message>
        <source>          Addr</source>
        <translation>          주소</translation>
    </message>
    <message>
        <source>         Name</source>
        <translation>         이름</translation>
    </message>
    <message>
        <source>  Tx</source>
        <translation>  송신</translation>
    </message>
    <message>
        <source>    Rx</source>
        <translation>    수신</translation>
    </message>
    <message>
        <source>Disconnect</source>
        <translation>연결 끊기</translation>
    </message>
    <message>
        <source>Get Information is timeout. Check Lumeno-KVX and Try again.</source>
        <translation>연결 상태 조회 시간이 초과되었습니다. Lumeno-KVX를 확인하고 다시 시도하십시오.</translation>
    </message>
    <message>
        <source>Get Information is Failed. Try again.</source>
        <translation>연결 상태 조회에 실패했습니다. 다시 시도하십시오.</translation>
    </message>
    <message>
        <source>Get Status is imperfect. Try again.</source>
        <translation>연결 상태를 완전히 받지 못했습니다. 다시 시도하십시오.</translation>
    </message>
    <message>
        <source>Disconnection is timeout. Check Lumeno-KVX and Try again.</source>
        <translation>연결 끊기 시간이 초과되었습니다. Lumeno-KVX를 확인하고 다시 시도하십시오.</translation>
    </message>
    <message>
        <source>Disconnection is Failed. Try again.</source>
        <translation>연결 끊기에 실패했습니다. 다시 시도하십시오.</translation>
    </message>
    <message>
        <source>Connections</source>
        <translation>연결 목록</translation>
    </message>
    <message>
        <source>Refresh</source>
        <translation>새로 고침</translation>
    </message>
    <message>
        <source>good</source>
        <translation>좋음</translation>
    </message>
    <message>
        <source>fair</source>
        <translation>보통</translation>
    </message>
    <message>
        <source>poor</source>
        <translation>나쁨</translation>
    </message>
    <message>
        <source>unknown</source>
        <translation>알 수 없음</translation>
    </message>
</context>
<context>
    <name>kvx::ConsolePane</name>
    <message>
        <source>Console</source>
        <translation>콘솔</translation>
    </message>
</context>
<context>
    <name>kvx::DeviceListModel</name>
    <message>
        <source>Name</source>
        <translation>이름</translation>
    </message>
    <message>
        <source>Address</source>
        <translation>주소</translation>
    </message>
    <message>
        <source>MAC</source>
        <translation>MAC</translation>
    </message>
    <message>
        <source>Model</source>
        <translation>모델</translation>
    </message>
    <message>
        <source>Serial</source>
        <translation>일련번호</translation>
    </message>
    <message>
        <source>Firmware</source>
        <translation>펌웨어</translation>
    </message>
    <message>
        <source>Mode</source>
        <translation>모드</translation>
    </message>
    <message>
        <source>Links</source>
        <translation>연결 수</translation>
    </message>
    <message>
        <source>Group</source>
        <translation>그룹</translation>
    </message>
    <message>
        <source>Result</source>
        <translation>결과</translation>
    </message>
</context>
<context>
    <name>kvx::DevicePicker</name>
    <message>
        <source>SD List</source>
        <translation>SD 목록</translation>
    </message>
    <message>
        <source>BD_ADDRESS</source>
        <translation>블루투스 주소</translation>
    </message>
    <message>
        <source>Refresh</source>
        <translation>새로 고침</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>적용</translation>
    </message>
</context>
<context>
    <name>kvx::DevicesWindow</name>
    <message>
        <source>Cancel</source>
        <translation>취소</translation>
    </message>
    <message>
        <source>Devices</source>
        <translation>장치</translation>
    </message>
    <message>
        <source>Details</source>
        <translation>세부 정보</translation>
    </message>
    <message>
        <source>Device</source>
        <translation>장치</translation>
    </message>
    <message>
        <source>Group</source>
        <translation>그룹</translation>
    </message>
    <message>
        <source>Key</source>
        <translation>키</translation>
    </message>
    <message>
        <source>Device&apos;s Value</source>
        <translation>장치의 값</translation>
    </message>
    <message>
        <source>File&apos;s Value</source>
        <translation>파일의 값</translation>
    </message>
    <message>
        <source>All Columns</source>
        <translation>모든 열</translation>
    </message>
    <message>
        <source>Columns</source>
        <translation>열</translation>
    </message>
    <message>
        <source>Filter</source>
        <translation>필터</translation>
    </message>
    <message>
        <source>In</source>
        <translation>대상</translation>
    </message>
    <message>
        <source>%v of %m devices</source>
        <translation>장치 %m대 중 %v대</translation>
    </message>
    <message>
        <source>HOST[:PORT]</source>
        <translation>호스트[:포트]</translation>
    </message>
    <message>
        <source>Discover</source>
        <translation>검색</translation>
    </message>
    <message>
        <source>Open Inventory...</source>
        <translation>인벤토리 열기...</translation>
    </message>
    <message>
        <source>Inventory Files(*.ini *.txt);;All Files(*.*)</source>
        <translation>인벤토리 파일(*.ini *.txt);;모든 파일(*.*)</translation>
    </message>
    <message>
        <source>Add Device</source>
        <translation>장치 추가</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>제거</translation>
    </message>
    <message>
        <source>Refresh</source>
        <translation>새로 고침</translation>
    </message>
    <message>
        <source>Back Up...</source>
        <translation>백업...</translation>
    </message>
    <message>
        <source>Compare with File...</source>
        <translation>파일과 비교...</translation>
    </message>
    <message>
        <source>Apply File...</source>
        <translation>파일 적용...</translation>
    </message>
    <message>
        <source>Restore File...</source>
        <translation>파일 복원...</translation>
    </message>
    <message>
        <source>Reboot</source>
        <translation>재부팅</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>열기</translation>
    </message>
    <message>
        <source>Export CSV...</source>
        <translation>CSV로 내보내기...</translation>
    </message>
    <message>
        <source>Keep Password in Keyring</source>
        <translation>키링에 암호 보관</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>닫기</translation>
    </message>
    <message>
        <source>&amp;Devices</source>
        <translation>장치(&amp;D)</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>보기(&amp;V)</translation>
    </message>
    <message>
        <source>List</source>
        <translation>목록</translation>
    </message>
    <message>
        <source>Address</source>
        <translation>주소</translation>
    </message>
    <message>
        <source>Actions</source>
        <translation>작업</translation>
    </message>
    <message>
        <source>Parallel</source>
        <translation>동시 실행</translation>
    </message>
    <message>
        <source>The inventory was not opened: %1</source>
        <translation>인벤토리를 열지 못했습니다: %1</translation>
    </message>
    <message>
        <source>Devices from %1: %2</source>
        <translation>%1의 장치: %2대</translation>
    </message>
    <message>
        <source>Type the device&apos;s address as HOST or HOST:PORT, such as 192.168.0.10 or 192.168.0.10:9000.</source>
        <translation>장치 주소를 HOST 또는 HOST:PORT 형식으로 입력하십시오(예: 192.168.0.10 또는 192.168.0.10:9000).</translation>
    </message>
    <message>
        <source>The password could not be kept in the keyring: %1</source>
        <translation>암호를 키링에 보관하지 못했습니다: %1</translation>
    </message>
    <message>
        <source>The password could not be removed from the keyring: %1</source>
        <translation>키링에서 암호를 지우지 못했습니다: %1</translation>
    </message>
    <message>
        <source>The desktop&apos;s keyring is not available, so the password cannot be kept: it is asked for once each time the Devices window opens.</source>
        <translation>데스크톱 키링을 사용할 수 없어 암호를 보관할 수 없습니다. 장치 창을 열 때마다 한 번씩 암호를 묻습니다.</translation>
    </message>
    <message>
        <source>The password could not be read from the keyring: %1</source>
        <translation>키링에서 암호를 읽지 못했습니다: %1</translation>
    </message>
    <message>
        <source>waiting</source>
        <translation>대기 중</translation>
    </message>
    <message>
        <source>connecting</source>
        <translation>연결 중</translation>
    </message>
    <message>
        <source>cancelled</source>
        <translation>취소됨</translation>
    </message>
    <message>
        <source>failed at %1</source>
        <translation>%1 단계에서 실패</translation>
    </message>
    <message>
        <source>failed at %1: %2</source>
        <translation>%1 단계에서 실패: %2</translation>
    </message>
    <message>
        <source>different</source>
        <translation>다름</translation>
    </message>
    <message>
        <source>ok</source>
        <translation>정상</translation>
    </message>
    <message>
        <source>unchanged</source>
        <translation>변경 없음</translation>
    </message>
    <message>
        <source>would change: %1</source>
        <translation>변경 예정: %1</translation>
    </message>
    <message>
        <source>changed</source>
        <translation>변경됨</translation>
    </message>
    <message>
        <source>saved to %1</source>
        <translation>%1에 저장됨</translation>
    </message>
    <message>
        <source>(none)</source>
        <translation>(없음)</translation>
    </message>
    <message>
        <source>accepted: %1</source>
        <translation>수락됨: %1</translation>
    </message>
    <message>
        <source>%1 ended, %2 failed, %3 not started</source>
        <translation>완료 %1, 실패 %2, 시작 안 함 %3</translation>
    </message>
    <message>
        <source>Cancelling: the devices under way finish their step.</source>
        <translation>취소하는 중: 진행 중인 장치는 현재 단계를 마칩니다.</translation>
    </message>
    <message>
        <source>The file cannot be read: %1</source>
        <translation>파일을 읽을 수 없습니다: %1</translation>
    </message>
    <message>
        <source>No device that could be read needs a change from %1.</source>
        <translation>읽을 수 있었던 장치 중 %1에 맞춰 바꿀 장치가 없습니다.</translation>
    </message>
    <message>
        <source>Apply %1 to 1 device?</source>
        <translation>%1을(를) 장치 1대에 적용하시겠습니까?</translation>
    </message>
    <message>
        <source>Apply %1 to %2 devices?</source>
        <translation>%1을(를) 장치 %2대에 적용하시겠습니까?</translation>
    </message>
    <message>
        <source>Apply File</source>
        <translation>파일 적용</translation>
    </message>
    <message>
        <source>Restore %1 to 1 device?</source>
        <translation>%1을(를) 장치 1대에 복원하시겠습니까?</translation>
    </message>
    <message>
        <source>Restore %1 to %2 devices?</source>
        <translation>%1을(를) 장치 %2대에 복원하시겠습니까?</translation>
    </message>
    <message>
        <source>Restore File</source>
        <translation>파일 복원</translation>
    </message>
    <message>
        <source>%1: live links not read</source>
        <translation>%1: 활성 연결 수를 읽지 않음</translation>
    </message>
    <message>
        <source>%1: 1 live link</source>
        <translation>%1: 활성 연결 1개</translation>
    </message>
    <message>
        <source>%1: %2 live links</source>
        <translation>%1: 활성 연결 %2개</translation>
    </message>
    <message>
        <source>and %1 more</source>
        <translation>외 %1대</translation>
    </message>
    <message>
        <source>Reboot 1 device?</source>
        <translation>장치 1대를 재부팅하시겠습니까?</translation>
    </message>
    <message>
        <source>Reboot %1 devices?</source>
        <translation>장치 %1대를 재부팅하시겠습니까?</translation>
    </message>
    <message>
        <source>Live links that drop while they restart: %1</source>
        <translation>재시작하는 동안 끊기는 활성 연결: %1개</translation>
    </message>
    <message>
        <source>CSV Files(*.csv);;All Files(*.*)</source>
        <translation>CSV 파일(*.csv);;모든 파일(*.*)</translation>
    </message>
    <message>
        <source>The list was not saved.</source>
        <translation>목록을 저장하지 못했습니다.</translation>
    </message>
    <message>
        <source>Searching...</source>
        <translation>검색 중...</translation>
    </message>
</context>
<context>
    <name>kvx::DialogButtons</name>
    <message>
        <source>Cancel</source>
        <translation>취소</translation>
    </message>
</context>
<context>
    <name>kvx::FieldRules</name>
    <message>
        <source>%1 must be a whole number from %2 to %3.</source>
        <translation>%1 값은 %2에서 %3 사이의 정수여야 합니다.</translation>
    </message>
</context>
<context>
    <name>kvx::HostEntry</name>
    <message>
        <source>Fill the HOST IP Address and HOST Port Number.</source>
        <translation>호스트 IP 주소와 호스트 포트 번호를 입력하십시오.</translation>
    </message>
    <message>
        <source>Fill the HOST IP Address.</source>
        <translation>호스트 IP 주소를 입력하십시오.</translation>
    </message>
    <message>
        <source>Fill the HOST Port Number.</source>
        <translation>호스트 포트 번호를 입력하십시오.</translation>
    </message>
    <message>
        <source>Set Server host address is timeout. Check Lumeno-KVX and Try again.</source>
        <translation>서버 호스트 주소 설정 시간이 초과되었습니다. Lumeno-KVX를 확인하고 다시 시도하십시오.</translation>
    </message>
    <message>
        <source>Client Mode Setup Fail. Try again.</source>
        <translation>클라이언트 모드 설정에 실패했습니다. 다시 시도하십시오.</translation>
    </message>
    <message>
        <source>Get Server host address is timeout. Check Lumeno-KVX and Try again.</source>
        <translation>서버 호스트 주소 조회 시간이 초과되었습니다. Lumeno-KVX를 확인하고 다시 시도하십시오.</translation>
    </message>
</context>
<context>
    <name>kvx::InformationPage</name>
    <message>
        <source>Back up</source>
        <translation>백업</translation>
    </message>
    <message>
        <source>Restore</source>
        <translation>복원</translation>
    </message>
    <message>
        <source>Log</source>
        <translation>로그</translation>
    </message>
    <message>
        <source>Product Name</source>
        <translation>제품명</translation>
    </message>
    <message>
        <source>Model Code</source>
        <translation>모델 코드</translation>
    </message>
    <message>
        <source>Version</source>
        <translation>버전</translation>
    </message>
    <message>
        <source>Product Serial Number</source>
        <translation>제품 일련번호</translation>
    </message>
    <message>
        <source>IP Address </source>
        <translation>IP 주소 </translation>
    </message>
    <message>
        <source>Control Port  </source>
        <translation>제어 포트  </translation>
    </message>
    <message>
        <source>MAC Address</source>
        <translation>MAC 주소</translation>
    </message>
    <message>
        <source>Bluetooth Friendly Name</source>
        <translation>블루투스 장치 이름</translation>
    </message>
    <message>
        <source>Bluetooth Address</source>
        <translation>블루투스 주소</translation>
    </message>
    <message>
        <source>Lumeno-KVX100 Manager Information</source>
        <translation>Lumeno-KVX100 Manager 정보</translation>
    </message>
    <message>
        <source>* Note :  You can&apos;t restore while bluetooth serial connected. </source>
        <translation>* 참고 :  블루투스 시리얼 연결 중에는 복원할 수 없습니다. </translation>
    </message>
    <message>
        <source>Reboot</source>
        <translation>재부팅</translation>
    </message>
    <message>
        <source>Get Version is timeout. Check Lumeno-KVX and Try again.</source>
        <translation>버전 조회 시간이 초과되었습니다. Lumeno-KVX를 확인하고 다시 시도하십시오.</translation>
    </message>
    <message>
        <source>Reboot is timeout. Check Lumeno-KVX and Try again.</source>
        <translation>재부팅 응답 시간이 초과되었습니다. Lumeno-KVX를 확인하고 다시 시도하십시오.</translation>
    </message>
    <message>
        <source>Reboot is Failed. Try again.</source>
        <translation>재부팅에 실패했습니다. 다시 시도하십시오.</translation>
    </message>
    <message>
        <source>No viewer opened the device log. It was written to:</source>
        <translation>장치 로그를 연 뷰어가 없습니다. 로그는 다음 위치에 저장되었습니다:</translation>
    </message>
    <message>
        <source>The backup was cancelled. Nothing was saved.</source>
        <translation>백업이 취소되었습니다. 아무것도 저장되지 않았습니다.</translation>
    </message>
    <message>
        <source>The restore was cancelled. The settings sent before it stay on the device.</source>
        <translation>복원이 취소되었습니다. 취소 전에 보낸 설정은 장치에 그대로 남아 있습니다.</translation>
    </message>
</context>
<context>
    <name>kvx::IpAddressEdit</name>
    <message>
        <source>IP Address %1</source>
        <translation>IP 주소 %1</translation>
    </message>
</context>
<context>
    <name>kvx::Keyring</name>
    <message>
        <source>The desktop keyring holds an entry for %1 that this program did not write.</source>
        <translation>데스크톱 키링에 이 프로그램이 저장하지 않은 %1 항목이 있습니다.</translation>
    </message>
    <message>
        <source>The desktop keyring did not answer within %1 seconds; credentials are asked for each time.</source>
        <translation>데스크톱 키링이 %1초 안에 응답하지 않았습니다. 로그인 정보는 매번 묻습니다.</translation>
    </message>
    <message>
        <source>The desktop keyring could not remove the credentials: %1</source>
        <translation>데스크톱 키링에서 로그인 정보를 지우지 못했습니다: %1</translation>
    </message>
    <message>
        <source>The desktop keyring stays locked or refuses access; credentials are asked for each time.</source>
        <translation>데스크톱 키링이 잠겨 있거나 접근을 거부합니다. 로그인 정보는 매번 묻습니다.</translation>
    </message>
    <message>
        <source>No desktop keyring (Secret Service) answers; credentials are asked for each time.</source>
        <translation>응답하는 데스크톱 키링(Secret Service)이 없습니다. 로그인 정보는 매번 묻습니다.</translation>
    </message>
    <message>
        <source>This build of the program has no desktop keyring; credentials are asked for each time.</source>
        <translation>이 빌드의 프로그램에는 데스크톱 키링 기능이 없습니다. 로그인 정보는 매번 묻습니다.</translation>
    </message>
</context>
<context>
    <name>kvx::LoginExchange</name>
    <message>
        <source>Get UserID is timeout. Check Lumeno-KVX and Try again.</source>
        <translation>사용자 ID 응답 시간이 초과되었습니다. Lumeno-KVX를 확인하고 다시 시도하십시오.</translation>
    </message>
    <message>
        <source>Get Password is timeout. Check Lumeno-KVX and Try again.</source>
        <translation>비밀번호 응답 시간이 초과되었습니다. Lumeno-KVX를 확인하고 다시 시도하십시오.</translation>
    </message>
</context>
<context>
    <name>kvx::LoginWindow</name>
    <message>
        <source>Login</source>
        <translation>로그인</translation>
    </message>
    <message>
        <source>UserID</source>
        <translation>사용자 ID</translation>
    </message>
    <message>
        <source>Password</source>
        <translation>비밀번호</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>확인</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>취소</translation>
    </message>
</context>
<context>
    <name>kvx::MainWindow</name>
    <message>
        <source>  Operation Mode  </source>
        <translation>  동작 모드  </translation>
    </message>
    <message>
        <source>  Bluetooth  </source>
        <translation>  블루투스  </translation>
    </message>
    <message>
        <source>  Connections  </source>
        <translation>  연결  </translation>
    </message>
    <message>
        <source>  Neighborhoods  </source>
        <translation>  주변 장치  </translation>
    </message>
    <message>
        <source>  Repeater  </source>
        <translation>  리피터  </translation>
    </message>
    <message>
        <source>  Lumeno-KVX100 Manager Information  </source>
        <translation>  Lumeno-KVX100 Manager 정보  </translation>
    </message>
    <message>
        <source>Lumeno-KVX100 Manager</source>
        <translation>Lumeno-KVX100 Manager</translation>
    </message>
    <message>
        <source>Pages</source>
        <translation>페이지</translation>
    </message>
    <message>
        <source>Lumeno-KVX100 Manager ver%1 Info(&amp;A)...</source>
        <translation>Lumeno-KVX100 Manager 버전 %1 정보(&amp;A)...</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>도움말(&amp;H)</translation>
    </message>
    <message>
        <source>The application create Fail. Try again.</source>
        <translation>프로그램을 준비하지 못했습니다. 다시 시도하십시오.</translation>
    </message>
    <message>
        <source>Lumeno-KVX100 Manager : </source>
        <translation>Lumeno-KVX100 Manager : </translation>
    </message>
    <message>
        <source>Lumeno-KVX has been disconnected.</source>
        <translation>Lumeno-KVX와의 연결이 끊어졌습니다.</translation>
    </message>
    <message>
        <source>Waiting for the device&apos;s reply to %1… %2 s</source>
        <translation>장치가 %1 명령에 응답하기를 기다리는 중… %2초</translation>
    </message>
    <message>
        <source>The transcript is not kept in a file: %1</source>
        <translation>통신 기록을 파일에 남기지 못합니다: %1</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>파일(&amp;F)</translation>
    </message>
    <message>
        <source>Save Transcript...</source>
        <translation>통신 기록 저장...</translation>
    </message>
    <message>
        <source>Text Files(*.txt);;All Files(*.*)</source>
        <translation>텍스트 파일(*.txt);;모든 파일(*.*)</translation>
    </message>
    <message>
        <source>The transcript was not saved.</source>
        <translation>통신 기록을 저장하지 못했습니다.</translation>
    </message>
    <message>
        <source>Lumeno-KVX is not connected. Search and connect to a device.</source>
        <translation>Lumeno-KVX가 연결되어 있지 않습니다. 장치를 검색하여 연결하십시오.</translation>
    </message>
    <message>
        <source>Lumeno-KVX100 Manager : not connected</source>
        <translation>Lumeno-KVX100 Manager : 연결되지 않음</translation>
    </message>
    <message>
        <source>Devices...</source>
        <translation>장치...</translation>
    </message>
</context>
<context>
    <name>kvx::MaskedEdit</name>
    <message>
        <source>Cu&amp;t</source>
        <translation>잘라내기(&amp;T)</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>복사(&amp;C)</translation>
    </message>
    <message>
        <source>&amp;Paste</source>
        <translation>붙여넣기(&amp;P)</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>삭제</translation>
    </message>
    <message>
        <source>Select All</source>
        <translation>모두 선택</translation>
    </message>
</context>
<context>
    <name>kvx::ModifyDeviceWindow</name>
    <message>
        <source>Modify Device</source>
        <translation>장치 수정</translation>
    </message>
    <message>
        <source>BDADDR/Name</source>
        <translation>BDADDR/이름</translation>
    </message>
    <message>
        <source>PORT Number</source>
        <translation>포트 번호</translation>
    </message>
    <message>
        <source>Modify</source>
        <translation>수정</translation>
    </message>
    <message>
        <source>Fill the Bdaddr and Port Number.</source>
        <translation>BDADDR/이름과 포트 번호를 입력하십시오.</translation>
    </message>
    <message>
        <source>Fill the Bdaddr.</source>
        <translation>BDADDR/이름을 입력하십시오.</translation>
    </message>
    <message>
        <source>Fill the Port Number.</source>
        <translation>포트 번호를 입력하십시오.</translation>
    </message>
    <message>
        <source>Same BDADDR/Name is exist. Try again.</source>
        <translation>같은 BDADDR/이름이 이미 있습니다. 다시 시도하십시오.</translation>
    </message>
    <message>
        <source>Same Port Number is exist. Try again.</source>
        <translation>같은 포트 번호가 이미 있습니다. 다시 시도하십시오.</translation>
    </message>
    <message>
        <source>Device modification is timeout. Check Lumeno-KVX and Try again.</source>
        <translation>장치 수정 시간이 초과되었습니다. Lumeno-KVX를 확인하고 다시 시도하십시오.</translation>
    </message>
    <message>
        <source>Device modification is Failed. Try again.</source>
        <translation>장치 수정에 실패했습니다. 다시 시도하십시오.</translation>
    </message>
</context>
<context>
    <name>kvx::ModifyServerWindow</name>
    <message>
        <source>Modify Server</source>
        <translation>서버 수정</translation>
    </message>
    <message>
        <source>BDADDR/Name</source>
        <translation>BDADDR/이름</translation>
    </message>
    <message>
        <source>IP Address</source>
        <translation>IP 주소</translation>
    </message>
    <message>
        <source>PORT Number</source>
        <translation>포트 번호</translation>
    </message>
    <message>
        <source>Modify</source>
        <translation>수정</translation>
    </message>
    <message>
        <source>Fill the Bdaddr and Port Number.</source>
        <translation>BDADDR/이름과 포트 번호를 입력하십시오.</translation>
    </message>
    <message>
        <source>Fill the Bdaddr.</source>
        <translation>BDADDR/이름을 입력하십시오.</translation>
    </message>
    <message>
        <source>Fill the Port Number.</source>
        <translation>포트 번호를 입력하십시오.</translation>
    </message>
    <message>
        <source>Fill the IP Address.</source>
        <translation>IP 주소를 입력하십시오.</translation>
    </message>
    <message>
        <source>Same BDADDR/Name is exist. Try again.</source>
        <translation>같은 BDADDR/이름이 이미 있습니다. 다시 시도하십시오.</translation>
    </message>
    <message>
        <source>Same Port Number is exist. Try again.</source>
        <translation>같은 포트 번호가 이미 있습니다. 다시 시도하십시오.</translation>
    </message>
    <message>
        <source>Server modification is timeout. Check Lumeno-KVX and Try again.</source>
        <translation>서버 수정 시간이 초과되었습니다. Lumeno-KVX를 확인하고 다시 시도하십시오.</translation>
    </message>
    <message>
        <source>Device modification is Failed. Try again.</source>
        <translation>장치 수정에 실패했습니다. 다시 시도하십시오.</translation>
    </message>
</context>
<context>
    <name>kvx::NeighborhoodsPage</name>
    <message>
        <source>Start</source>
        <translation>시작</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>중지</translation>
    </message>
    <message>
        <source>General</source>
        <translation>일반</translation>
    </message>
    <message>
        <source>Limited</source>
        <translation>제한</translation>
    </message>
    <message>
        <source>Interval (sec)</source>
        <translation>검색 주기 (초)</translation>
    </message>
    <message>
        <source>Length (sec)</source>
        <translation>검색 시간 (초)</translation>
    </message>
    <message>
        <source>Inquiry Access Code</source>
        <translation>검색 액세스 코드</translation>
    </message>
    <message>
        <source>Neighborhoods</source>
        <translation>주변 장치 목록</translation>
    </message>
    <message>
        <source>BDADDR</source>
        <translation>블루투스 주소</translation>
    </message>
    <message>
        <source>CoD</source>
        <translation>장치 클래스</translation>
    </message>
    <message>
        <source>Bluetooth Friendly Name</source>
        <translation>블루투스 장치 이름</translation>
    </message>
    <message>
        <source>Getting Periodic Inquiry failed.</source>
        <translation>주기적 검색 상태 조회에 실패했습니다.</translation>
    </message>
</context>
<context>
    <name>kvx::OperationModePage</name>
    <message>
        <source>Operation Mode</source>
        <translation>동작 모드</translation>
    </message>
    <message>
        <source>Current Mode  :</source>
        <translation>현재 모드  :</translation>
    </message>
    <message>
        <source>Advanced Configuration</source>
        <translation>고급 설정</translation>
    </message>
    <message>
        <source>Mode Change</source>
        <translation>모드 변경</translation>
    </message>
    <message>
        <source>Server Mode</source>
        <translation>서버 모드</translation>
    </message>
    <message>
        <source>Client Mode</source>
        <translation>클라이언트 모드</translation>
    </message>
    <message>
        <source>Vertex Mode</source>
        <translation>버텍스 모드</translation>
    </message>
    <message>
        <source>Repeater Mode</source>
        <translation>리피터 모드</translation>
    </message>
    <message>
        <source>Serial Hub Mode</source>
        <translation>시리얼 허브 모드</translation>
    </message>
    <message>
        <source>RS232 Mode</source>
        <translation>RS232 모드</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>적용</translation>
    </message>
    <message>
        <source>Search</source>
        <translation>검색</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>종료</translation>
    </message>
    <message>
        <source>Get Basic Information is timeout. Check Lumeno-KVX and Try again.</source>
        <translation>기본 정보 조회 시간이 초과되었습니다. Lumeno-KVX를 확인하고 다시 시도하십시오.</translation>
    </message>
    <message>
        <source>Get Basic Information is Failed. Retry again.</source>
        <translation>기본 정보 조회에 실패했습니다. 다시 시도하십시오.</translation>
    </message>
    <message>
        <source>Timeout.</source>
        <translation>시간이 초과되었습니다.</translation>
    </message>
    <message>
        <source>Failed.</source>
        <translation>실패했습니다.</translation>
    </message>
    <message>
        <source>No advanced configuration needed.</source>
        <translation>고급 설정이 필요 없습니다.</translation>
    </message>
    <message>
        <source>* Note : Make sure of No Bluetooth Serial Connection to Lumeno-KVX.
           You can&apos;t change the operation mode while connected.</source>
        <translation>* 참고 : Lumeno-KVX에 블루투스 시리얼 연결이 없는지 확인하십시오.
           연결된 동안에는 동작 모드를 변경할 수 없습니다.</translation>
    </message>
    <message>
        <source>Server</source>
        <translation>서버</translation>
    </message>
    <message>
        <source>Client</source>
        <translation>클라이언트</translation>
    </message>
    <message>
        <source>Vertex</source>
        <translation>버텍스</translation>
    </message>
    <message>
        <source>Repeater</source>
        <translation>리피터</translation>
    </message>
    <message>
        <source>SerialHub</source>
        <translation>시리얼 허브</translation>
    </message>
    <message>
        <source>RS232</source>
        <translation>RS232</translation>
    </message>
    <message>
        <source>Unknown</source>
        <translation>알 수 없음</translation>
    </message>
</context>
<context>
    <name>kvx::Prompter</name>
    <message>
        <source>Lumeno-KVX100 Manager</source>
        <translation>Lumeno-KVX100 Manager</translation>
    </message>
</context>
<context>
    <name>kvx::ReadMark</name>
    <message>
        <source>Nothing was sent: the settings shown were not all read from the device on this connection, and sending them would write values the device never gave. Open the window or the tab again to read them, then try again.</source>
        <translation>아무것도 보내지 않았습니다. 표시된 설정을 이 연결에서 장치로부터 모두 읽지 못했으므로, 보내면 장치가 알려 주지 않은 값을 쓰게 됩니다. 창이나 탭을 다시 열어 설정을 읽은 다음 다시 시도하십시오.</translation>
    </message>
</context>
<context>
    <name>kvx::Reading</name>
    <message>
        <source>A reply came that no command asked for (seen at &quot;%1&quot;), so the values read may belong to other commands. Nothing was taken from this reading; try again.</source>
        <translation>어떤 명령도 요청하지 않은 응답이 왔습니다(&quot;%1&quot;에서 발견). 읽은 값이 다른 명령의 것일 수 있으므로 이번에 읽은 값은 하나도 사용하지 않았습니다. 다시 시도하십시오.</translation>
    </message>
</context>
<context>
    <name>kvx::RebootWaitWindow</name>
    <message>
        <source>Rebooting. . .  Wait a second.</source>
        <translation>재부팅 중. . .  잠시 기다려 주십시오.</translation>
    </message>
</context>
<context>
    <name>kvx::RepeaterPage</name>
    <message>
        <source>Refresh</source>
        <translation>새로 고침</translation>
    </message>
    <message>
        <source>Repeater</source>
        <translation>리피터</translation>
    </message>
    <message>
        <source>Loading repeater list failed.</source>
        <translation>리피터 목록을 불러오지 못했습니다.</translation>
    </message>
</context>
<context>
    <name>kvx::RepeaterStationWindow</name>
    <message>
        <source>Repeater Mode</source>
        <translation>리피터 모드</translation>
    </message>
    <message>
        <source>BDADDR</source>
        <translation>BDADDR</translation>
    </message>
    <message>
        <source>Station Lumeno-KVX</source>
        <translation>스테이션 Lumeno-KVX</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>확인</translation>
    </message>
    <message>
        <source>Incorrect Bluetooth Address.</source>
        <translation>블루투스 주소가 올바르지 않습니다.</translation>
    </message>
    <message>
        <source>Timeout.</source>
        <translation>시간이 초과되었습니다.</translation>
    </message>
    <message>
        <source>Failed.</source>
        <translation>실패했습니다.</translation>
    </message>
</context>
<context>
    <name>kvx::RouteSettingWindow</name>
    <message>
        <source>From</source>
        <translation>출발지</translation>
    </message>
    <message>
        <source>Route Setting</source>
        <translation>경로 설정</translation>
    </message>
    <message>
        <source>...</source>
        <translation>...</translation>
    </message>
    <message>
        <source>To</source>
        <translation>목적지</translation>
    </message>
    <message>
        <source>&lt;--&gt;</source>
        <translation>&lt;--&gt;</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>확인</translation>
    </message>
    <message>
        <source>Fill the Bdaddr completely.</source>
        <translation>BDADDR 전체를 입력하십시오.</translation>
    </message>
</context>
<context>
    <name>kvx::RoutingTableWindow</name>
    <message>
        <source>Edit</source>
        <translation>편집</translation>
    </message>
    <message>
        <source>Del</source>
        <translation>삭제</translation>
    </message>
    <message>
        <source>Serial Hub Mode</source>
        <translation>시리얼 허브 모드</translation>
    </message>
    <message>
        <source>Routing Table</source>
        <translation>경로 테이블</translation>
    </message>
    <message>
        <source>From</source>
        <translation>출발지</translation>
    </message>
    <message>
        <source>To</source>
        <translation>목적지</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>추가</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>적용</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>지우기</translation>
    </message>
    <message>
        <source>This group has more than 14 To addresses and cannot be edited here.</source>
        <translation>이 그룹에는 목적지 주소가 14개를 넘어 여기서 편집할 수 없습니다.</translation>
    </message>
    <message>
        <source>Zizov</source>
        <translation>Zizov</translation>
    </message>
    <message>
        <source>Clear all?</source>
        <translation>모두 지우시겠습니까?</translation>
    </message>
</context>
<context>
    <name>kvx::SearchConnectWindow</name>
    <message>
        <source>Product Name                   : </source>
        <translation>제품명                          : </translation>
    </message>
    <message>
        <source>Model Code                      : </source>
        <translation>모델 코드                       : </translation>
    </message>
    <message>
        <source>Product Serial Number       :  </source>
        <translation>제품 일련번호                  :  </translation>
    </message>
    <message>
        <source>IP Address                        : </source>
        <translation>IP 주소                           : </translation>
    </message>
    <message>
        <source>Control Port                       : </source>
        <translation>제어 포트                         : </translation>
    </message>
    <message>
        <source>MAC Address                    : </source>
        <translation>MAC 주소                        : </translation>
    </message>
    <message>
        <source>Bluetooth Friendly Name     : </source>
        <translation>블루투스 장치 이름             : </translation>
    </message>
    <message>
        <source>Bluetooth Address              : </source>
        <translation>블루투스 주소                   : </translation>
    </message>
    <message>
        <source>Search Lumeno-KVX</source>
        <translation>Lumeno-KVX 검색</translation>
    </message>
    <message>
        <source>Connect</source>
        <translation>연결</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>취소</translation>
    </message>
    <message>
        <source>Lumeno-KVX100 Manager</source>
        <translation>Lumeno-KVX100 Manager</translation>
    </message>
    <message>
        <source>Lumeno-KVX devices</source>
        <translation>Lumeno-KVX 장치 목록</translation>
    </message>
    <message>
        <source>IP Address</source>
        <translation>IP 주소</translation>
    </message>
    <message>
        <source>Control Port</source>
        <translation>제어 포트</translation>
    </message>
    <message>
        <source>The application create Fail. Try again.</source>
        <translation>프로그램을 준비하지 못했습니다. 다시 시도하십시오.</translation>
    </message>
    <message>
        <source>ReceiveData Error.</source>
        <translation>데이터 수신 오류입니다.</translation>
    </message>
    <message>
        <source>Search Error. Check Lumeno-KVX and Try again.</source>
        <translation>검색 오류입니다. Lumeno-KVX를 확인하고 다시 시도하십시오.</translation>
    </message>
    <message>
        <source>Detail Information</source>
        <translation>상세 정보</translation>
    </message>
    <message>
        <source>Lumeno-KVX Connection is failed.</source>
        <translation>Lumeno-KVX에 연결하지 못했습니다.</translation>
    </message>
    <message>
        <source>Check User name and Password.</source>
        <translation>사용자 ID와 비밀번호를 확인하십시오.</translation>
    </message>
    <message>
        <source>          Name</source>
        <translation>          이름</translation>
    </message>
    <message>
        <source>        IPAddr</source>
        <translation>        IP 주소</translation>
    </message>
    <message>
        <source>            MAC</source>
        <translation>            MAC</translation>
    </message>
    <message>
        <source>Recent devices</source>
        <translation>최근 장치</translation>
    </message>
    <message>
        <source>No device answered the search.</source>
        <translation>검색에 응답한 장치가 없습니다.</translation>
    </message>
    <message>
        <source>%1 is not an IPv4 address such as 192.168.0.10.</source>
        <translation>%1은(는) 192.168.0.10과 같은 IPv4 주소가 아닙니다.</translation>
    </message>
    <message>
        <source>There is no port %1: ports go up to 65535.</source>
        <translation>%1번 포트는 없습니다. 포트 번호는 65535까지입니다.</translation>
    </message>
    <message>
        <source>Devices...</source>
        <translation>장치...</translation>
    </message>
</context>
<context>
    <name>kvx::SerialPortWindow</name>
    <message>
        <source>Serial Port Setup</source>
        <translation>시리얼 포트 설정</translation>
    </message>
    <message>
        <source>%1 bit</source>
        <translation>%1비트</translation>
    </message>
    <message>
        <source>None</source>
        <translation>없음</translation>
    </message>
    <message>
        <source>Odd</source>
        <translation>홀수</translation>
    </message>
    <message>
        <source>Even</source>
        <translation>짝수</translation>
    </message>
    <message>
        <source>Hardware</source>
        <translation>하드웨어</translation>
    </message>
    <message>
        <source>Xon/Xoff</source>
        <translation>Xon/Xoff</translation>
    </message>
    <message>
        <source>Baud Rate:</source>
        <translation>전송 속도:</translation>
    </message>
    <message>
        <source>Data:</source>
        <translation>데이터 비트:</translation>
    </message>
    <message>
        <source>Parity:</source>
        <translation>패리티:</translation>
    </message>
    <message>
        <source>Stopbit:</source>
        <translation>정지 비트:</translation>
    </message>
    <message>
        <source>Flow Control:</source>
        <translation>흐름 제어:</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>확인</translation>
    </message>
    <message>
        <source>Can&apos;t get RS232 configuration.</source>
        <translation>RS232 설정을 가져올 수 없습니다.</translation>
    </message>
    <message>
        <source>Setting RS232 failed.</source>
        <translation>RS232 설정에 실패했습니다.</translation>
    </message>
    <message>
        <source>Choose the Baud Rate.</source>
        <translation>전송 속도를 선택하십시오.</translation>
    </message>
</context>
<context>
    <name>kvx::ServerModeWindow</name>
    <message>
        <source>Do not disconnect TCP socket</source>
        <translation>TCP 소켓 연결을 끊지 않음</translation>
    </message>
    <message>
        <source>          BDADDR/Name</source>
        <translation>          BDADDR/이름</translation>
    </message>
    <message>
        <source>       Port </source>
        <translation>       포트 </translation>
    </message>
    <message>
        <source>Server Mode</source>
        <translation>서버 모드</translation>
    </message>
    <message>
        <source>Default Data Port</source>
        <translation>기본 데이터 포트</translation>
    </message>
    <message>
        <source>KeepAlive Timeout</source>
        <translation>KeepAlive 타임아웃</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>적용</translation>
    </message>
    <message>
        <source>sec</source>
        <translation>초</translation>
    </message>
    <message>
        <source>Register Bluetooth Device</source>
        <translation>블루투스 장치 등록</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>추가</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>삭제</translation>
    </message>
    <message>
        <source>Modify</source>
        <translation>수정</translation>
    </message>
    <message>
        <source>Get Port Number is timeout. Check Lumeno-KVX and Try again.</source>
        <translation>포트 번호 조회 시간이 초과되었습니다. Lumeno-KVX를 확인하고 다시 시도하십시오.</translation>
    </message>
    <message>
        <source>Get Port Number is Failed. Try again.</source>
        <translation>포트 번호 조회에 실패했습니다. 다시 시도하십시오.</translation>
    </message>
    <message>
        <source>Retrieving TCP KeepAlive setting failed.</source>
        <translation>TCP KeepAlive 설정 조회에 실패했습니다.</translation>
    </message>
    <message>
        <source>Get Bind is timeout. Check Lumeno-KVX and Try again.</source>
        <translation>등록 장치 조회 시간이 초과되었습니다. Lumeno-KVX를 확인하고 다시 시도하십시오.</translation>
    </message>
    <message>
        <source>Bind is Failed. Try again.</source>
        <translation>등록 장치 조회에 실패했습니다. 다시 시도하십시오.</translation>
    </message>
    <message>
        <source>Get Bind Devices is imperfect. Try again.</source>
        <translation>등록 장치 목록을 완전히 받지 못했습니다. 다시 시도하십시오.</translation>
    </message>
    <message>
        <source>Set Port Number is timeout. Check Lumeno-KVX and Try again.</source>
        <translation>포트 번호 설정 시간이 초과되었습니다. Lumeno-KVX를 확인하고 다시 시도하십시오.</translation>
    </message>
    <message>
        <source>Setting PRSV failed.</source>
        <translation>PRSV 설정에 실패했습니다.</translation>
    </message>
    <message>
        <source>Setting TCP KeepAlive Time failed.</source>
        <translation>TCP KeepAlive 시간 설정에 실패했습니다.</translation>
    </message>
    <message>
        <source>Deleting Device is timeout. Check Lumeno-KVX and Try again.</source>
        <translation>장치 삭제 시간이 초과되었습니다. Lumeno-KVX를 확인하고 다시 시도하십시오.</translation>
    </message>
    <message>
        <source>Device Deleting is Failed. Try again.</source>
        <translation>장치 삭제에 실패했습니다. 다시 시도하십시오.</translation>
    </message>
</context>
<context>
    <name>kvx::SpinField</name>
    <message>
        <source>Increase</source>
        <translation>증가</translation>
    </message>
    <message>
        <source>Decrease</source>
        <translation>감소</translation>
    </message>
</context>
<context>
    <name>kvx::VertexModeWindow</name>
    <message>
        <source>Vertex Mode</source>
        <translation>버텍스 모드</translation>
    </message>
    <message>
        <source>Vertex Port</source>
        <translation>버텍스 포트</translation>
    </message>
    <message>
        <source>Max Number of Connections</source>
        <translation>최대 연결 수</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>적용</translation>
    </message>
    <message>
        <source>Refresh</source>
        <translation>새로 고침</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>취소</translation>
    </message>
    <message>
        <source>Get Vertex Mode is timeout. Check Lumeno-KVX and Try again.</source>
        <translation>버텍스 모드 조회 시간이 초과되었습니다. Lumeno-KVX를 확인하고 다시 시도하십시오.</translation>
    </message>
    <message>
        <source>Get Vertex is Failed. Try again.</source>
        <translation>버텍스 설정 조회에 실패했습니다. 다시 시도하십시오.</translation>
    </message>
    <message>
        <source>Fill the Vertex Port.</source>
        <translation>버텍스 포트를 입력하십시오.</translation>
    </message>
    <message>
        <source>Set Vertex Mode is timeout. Check Lumeno-KVX and Try again.</source>
        <translation>버텍스 모드 설정 시간이 초과되었습니다. Lumeno-KVX를 확인하고 다시 시도하십시오.</translation>
    </message>
    <message>
        <source>Vertex Mode Setup Fail. Try again.</source>
        <translation>버텍스 모드 설정에 실패했습니다. 다시 시도하십시오.</translation>
    </message>
</context>
</TS>
